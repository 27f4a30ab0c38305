#include "link/KeyAgreement.h"

#include <cstdlib>
#include <memory>
#include <openssl/core_names.h>
#include <openssl/evp.h>

namespace helm {

namespace {

struct PkeyFree {
    void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
};
struct CtxFree {
    void operator()(EVP_PKEY_CTX* p) const { EVP_PKEY_CTX_free(p); }
};
using Pkey = std::unique_ptr<EVP_PKEY, PkeyFree>;
using Ctx = std::unique_ptr<EVP_PKEY_CTX, CtxFree>;

EVP_PKEY* raw(void* p) {
    return static_cast<EVP_PKEY*>(p);
}

} // namespace

KeyAgreement::KeyAgreement() : pkey_(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256")) {
    if (!pkey_)
        std::abort(); // no key without a working random source; nothing sound can follow
}

KeyAgreement::~KeyAgreement() {
    EVP_PKEY_free(raw(pkey_));
}

KeyAgreement::KeyAgreement(KeyAgreement&& other) noexcept : pkey_(other.pkey_) {
    other.pkey_ = nullptr;
}

KeyAgreement& KeyAgreement::operator=(KeyAgreement&& other) noexcept {
    if (this != &other) {
        EVP_PKEY_free(raw(pkey_));
        pkey_ = other.pkey_;
        other.pkey_ = nullptr;
    }
    return *this;
}

std::vector<std::uint8_t> KeyAgreement::publicX963() const {
    std::vector<std::uint8_t> out(65);
    std::size_t len = 0;
    if (!pkey_ || EVP_PKEY_get_octet_string_param(raw(pkey_), OSSL_PKEY_PARAM_ENCODED_PUBLIC_KEY,
                                                  out.data(), out.size(), &len) != 1)
        return {};
    out.resize(len);
    return out;
}

std::optional<std::vector<std::uint8_t>>
KeyAgreement::agree(const std::vector<std::uint8_t>& peer) const {
    // Only the uncompressed form travels on the link.
    if (!pkey_ || peer.size() != 65 || peer[0] != 0x04)
        return std::nullopt;
    Pkey other(EVP_PKEY_new());
    if (!other || EVP_PKEY_copy_parameters(other.get(), raw(pkey_)) != 1 ||
        EVP_PKEY_set1_encoded_public_key(other.get(), peer.data(), peer.size()) != 1)
        return std::nullopt;
    Ctx check(EVP_PKEY_CTX_new(other.get(), nullptr));
    if (!check || EVP_PKEY_public_check(check.get()) != 1)
        return std::nullopt;
    Ctx ctx(EVP_PKEY_CTX_new(raw(pkey_), nullptr));
    std::size_t len = 0;
    if (!ctx || EVP_PKEY_derive_init(ctx.get()) != 1 ||
        EVP_PKEY_derive_set_peer(ctx.get(), other.get()) != 1 ||
        EVP_PKEY_derive(ctx.get(), nullptr, &len) != 1)
        return std::nullopt;
    std::vector<std::uint8_t> shared(len);
    if (EVP_PKEY_derive(ctx.get(), shared.data(), &len) != 1)
        return std::nullopt;
    shared.resize(len);
    return shared;
}

} // namespace helm
