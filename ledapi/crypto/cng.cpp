// The crypto interface on Windows' CNG (bcrypt.dll): the DLL and the Windows
// build of the screen.
#include <windows.h>
#include <bcrypt.h>

#include <cstdlib>
#include <vector>

#include "ledapi/core/crypto.h"

namespace ledp::crypto {

namespace {

// The algorithm providers live for the whole process (opening one is slow).
BCRYPT_ALG_HANDLE Provider(bool hmac) {
  static BCRYPT_ALG_HANDLE sha = nullptr, mac = nullptr;
  static const bool opened = [] {
    return BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&sha, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
           BCRYPT_SUCCESS(
               BCryptOpenAlgorithmProvider(&mac, BCRYPT_SHA256_ALGORITHM, nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG));
  }();
  if (!opened) std::abort();
  return hmac ? mac : sha;
}

void Check(NTSTATUS s) {
  if (!BCRYPT_SUCCESS(s)) std::abort();
}

}  // namespace

Digest Sha256(const uint8_t* data, size_t size) {
  Digest d{};
  BCRYPT_HASH_HANDLE h = nullptr;
  Check(BCryptCreateHash(Provider(false), &h, nullptr, 0, nullptr, 0, 0));
  Check(BCryptHashData(h, const_cast<PUCHAR>(data), static_cast<ULONG>(size), 0));
  Check(BCryptFinishHash(h, d.data(), static_cast<ULONG>(d.size()), 0));
  BCryptDestroyHash(h);
  return d;
}

struct Sha256Stream::Impl {
  BCRYPT_HASH_HANDLE h = nullptr;
  ~Impl() {
    if (h) BCryptDestroyHash(h);
  }
};

Sha256Stream::Sha256Stream() : impl_(std::make_unique<Impl>()) {
  Check(BCryptCreateHash(Provider(false), &impl_->h, nullptr, 0, nullptr, 0, 0));
}
Sha256Stream::~Sha256Stream() = default;
Sha256Stream::Sha256Stream(Sha256Stream&&) noexcept = default;
Sha256Stream& Sha256Stream::operator=(Sha256Stream&&) noexcept = default;

void Sha256Stream::Update(const uint8_t* data, size_t size) {
  if (size) Check(BCryptHashData(impl_->h, const_cast<PUCHAR>(data), static_cast<ULONG>(size), 0));
}

Digest Sha256Stream::Finish() {
  Digest d{};
  Check(BCryptFinishHash(impl_->h, d.data(), static_cast<ULONG>(d.size()), 0));
  return d;
}

bool Random(uint8_t* out, size_t size) {
  return BCRYPT_SUCCESS(BCryptGenRandom(nullptr, out, static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG));
}

// CNG has no comparison of its own: differences are gathered over every
// byte, with no early exit, so the time does not depend on where they are.
bool Equal(const uint8_t* a, const uint8_t* b, size_t n) {
  volatile uint8_t diff = 0;
  for (size_t i = 0; i < n; ++i) diff = static_cast<uint8_t>(diff | (a[i] ^ b[i]));
  return diff == 0;
}

// A keyed hash object made once; each computation works on a duplicate.
struct Hmac::Impl {
  BCRYPT_HASH_HANDLE keyed = nullptr;
  ~Impl() {
    if (keyed) BCryptDestroyHash(keyed);
  }
};

Hmac::Hmac(const uint8_t* key, size_t size) : impl_(std::make_unique<Impl>()) {
  Check(BCryptCreateHash(Provider(true), &impl_->keyed, nullptr, 0, const_cast<PUCHAR>(key),
                         static_cast<ULONG>(size), 0));
}

Hmac::~Hmac() = default;
Hmac::Hmac(Hmac&&) noexcept = default;
Hmac& Hmac::operator=(Hmac&&) noexcept = default;

Digest Hmac::Compute(const uint8_t* a, size_t an, const uint8_t* b, size_t bn) const {
  Digest d{};
  BCRYPT_HASH_HANDLE h = nullptr;
  Check(BCryptDuplicateHash(impl_->keyed, &h, nullptr, 0, 0));
  Check(BCryptHashData(h, const_cast<PUCHAR>(a), static_cast<ULONG>(an), 0));
  if (bn) Check(BCryptHashData(h, const_cast<PUCHAR>(b), static_cast<ULONG>(bn), 0));
  Check(BCryptFinishHash(h, d.data(), static_cast<ULONG>(d.size()), 0));
  BCryptDestroyHash(h);
  return d;
}

}  // namespace ledp::crypto
