// The few primitives the authenticated protocol needs, behind one small
// interface so that the protocol code stays portable. They come from the
// platform's kept libraries, never from code of ours: Windows' CNG in the
// Windows tree (ledapi/crypto/cng.cpp), OpenSSL's libcrypto natively
// (ledapi/crypto/openssl.cpp).
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace ledp::crypto {

constexpr size_t kKeySize = 32;     // a screen's key: 256 random bits
constexpr size_t kDigestSize = 32;  // SHA-256, HMAC-SHA-256
using Key = std::array<uint8_t, kKeySize>;
using Digest = std::array<uint8_t, kDigestSize>;

Digest Sha256(const uint8_t* data, size_t size);

// SHA-256 of bytes that come in pieces (a program as its datagrams arrive):
// the same digest as Sha256 over their concatenation.
class Sha256Stream {
 public:
  Sha256Stream();
  ~Sha256Stream();
  Sha256Stream(Sha256Stream&&) noexcept;
  Sha256Stream& operator=(Sha256Stream&&) noexcept;

  void Update(const uint8_t* data, size_t size);
  // The digest of everything given so far; the stream is then used up.
  Digest Finish();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Fills `out` from the system's random source; false if it cannot.
bool Random(uint8_t* out, size_t size);

// a == b over n bytes, taking the same time wherever they differ.
bool Equal(const uint8_t* a, const uint8_t* b, size_t n);

// HMAC-SHA-256 under a key fixed at construction. The keyed state is made
// once, so that each datagram costs only its own hashing.
class Hmac {
 public:
  Hmac(const uint8_t* key, size_t size);
  explicit Hmac(const Key& key) : Hmac(key.data(), key.size()) {}
  ~Hmac();
  Hmac(Hmac&&) noexcept;
  Hmac& operator=(Hmac&&) noexcept;

  // The MAC of the concatenation of two byte ranges (the second may be empty).
  // It works in state kept by the object: one thread at a time.
  Digest Compute(const uint8_t* a, size_t an, const uint8_t* b = nullptr, size_t bn = 0) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace ledp::crypto
