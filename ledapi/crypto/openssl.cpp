// The crypto interface on OpenSSL's libcrypto (native builds).
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "ledapi/core/crypto.h"

namespace ledp::crypto {

Digest Sha256(const uint8_t* data, size_t size) {
  Digest d{};
  unsigned int n = 0;
  if (!EVP_Digest(data, size, d.data(), &n, EVP_sha256(), nullptr)) std::abort();
  return d;
}

struct Sha256Stream::Impl {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  ~Impl() { EVP_MD_CTX_free(ctx); }
};

Sha256Stream::Sha256Stream() : impl_(std::make_unique<Impl>()) {
  if (!impl_->ctx || !EVP_DigestInit_ex(impl_->ctx, EVP_sha256(), nullptr)) std::abort();
}
Sha256Stream::~Sha256Stream() = default;
Sha256Stream::Sha256Stream(Sha256Stream&&) noexcept = default;
Sha256Stream& Sha256Stream::operator=(Sha256Stream&&) noexcept = default;

void Sha256Stream::Update(const uint8_t* data, size_t size) {
  if (size && !EVP_DigestUpdate(impl_->ctx, data, size)) std::abort();
}

Digest Sha256Stream::Finish() {
  Digest d{};
  unsigned int n = 0;
  if (!EVP_DigestFinal_ex(impl_->ctx, d.data(), &n)) std::abort();
  return d;
}

bool Random(uint8_t* out, size_t size) { return RAND_bytes(out, static_cast<int>(size)) == 1; }

bool Equal(const uint8_t* a, const uint8_t* b, size_t n) { return CRYPTO_memcmp(a, b, n) == 0; }

// A context holding the keyed state, and one that computations start again
// from it: copying the keyed state for every datagram costs about as much
// as hashing a whole chunk.
struct Hmac::Impl {
  EVP_MAC* mac = nullptr;
  EVP_MAC_CTX* keyed = nullptr;
  EVP_MAC_CTX* work = nullptr;
  ~Impl() {
    EVP_MAC_CTX_free(work);
    EVP_MAC_CTX_free(keyed);
    EVP_MAC_free(mac);
  }
};

Hmac::Hmac(const uint8_t* key, size_t size) : impl_(std::make_unique<Impl>()) {
  impl_->mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
  if (!impl_->mac) std::abort();
  impl_->keyed = EVP_MAC_CTX_new(impl_->mac);
  char digest[] = "SHA256";
  OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string("digest", digest, 0), OSSL_PARAM_construct_end()};
  if (!impl_->keyed || !EVP_MAC_init(impl_->keyed, key, size, params)) std::abort();
}

Hmac::~Hmac() = default;
Hmac::Hmac(Hmac&&) noexcept = default;
Hmac& Hmac::operator=(Hmac&&) noexcept = default;

Digest Hmac::Compute(const uint8_t* a, size_t an, const uint8_t* b, size_t bn) const {
  Digest d{};
  // Initialising without a key starts again under the key already set.
  if (impl_->work ? !EVP_MAC_init(impl_->work, nullptr, 0, nullptr)
                  : !(impl_->work = EVP_MAC_CTX_dup(impl_->keyed)))
    std::abort();
  EVP_MAC_CTX* c = impl_->work;
  size_t n = 0;
  if (!EVP_MAC_update(c, a, an) || (bn && !EVP_MAC_update(c, b, bn)) || !EVP_MAC_final(c, d.data(), &n, d.size()))
    std::abort();
  return d;
}

}  // namespace ledp::crypto
