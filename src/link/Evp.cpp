#include "link/Evp.h"

#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/kdf.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace helm {

namespace {

[[noreturn]] void fatal(const char* what) {
    char reason[256];
    ERR_error_string_n(ERR_get_error(), reason, sizeof reason);
    std::fprintf(stderr, "crypto: %s failed (%s)\n", what, reason);
    std::abort();
}

struct MacDeleter {
    void operator()(EVP_MAC* m) const { EVP_MAC_free(m); }
    void operator()(EVP_MAC_CTX* c) const { EVP_MAC_CTX_free(c); }
    void operator()(EVP_KDF* k) const { EVP_KDF_free(k); }
    void operator()(EVP_KDF_CTX* c) const { EVP_KDF_CTX_free(c); }
    void operator()(EVP_MD* m) const { EVP_MD_free(m); }
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
    void operator()(EVP_CIPHER* c) const { EVP_CIPHER_free(c); }
};

template <typename T> using Owned = std::unique_ptr<T, MacDeleter>;

// OpenSSL wants a non-null pointer even for an empty buffer (an empty HMAC key or HKDF salt
// given as null means "no key" and fails).
const unsigned char* bytesOf(std::string_view s) {
    static const unsigned char none = 0;
    return s.empty() ? &none : reinterpret_cast<const unsigned char*>(s.data());
}

// The fetched algorithms are immutable and thread-safe once made; fetch each once.
EVP_MAC* hmacAlgorithm() {
    static Owned<EVP_MAC> mac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
    if (!mac) {
        fatal("HMAC fetch");
    }
    return mac.get();
}

EVP_KDF* hkdfAlgorithm() {
    static Owned<EVP_KDF> kdf(EVP_KDF_fetch(nullptr, "HKDF", nullptr));
    if (!kdf) {
        fatal("HKDF fetch");
    }
    return kdf.get();
}

EVP_MD* sha256Algorithm() {
    static Owned<EVP_MD> md(EVP_MD_fetch(nullptr, "SHA256", nullptr));
    if (!md) {
        fatal("SHA-256 fetch");
    }
    return md.get();
}

EVP_CIPHER* gcmAlgorithm() {
    static Owned<EVP_CIPHER> cipher(EVP_CIPHER_fetch(nullptr, "AES-256-GCM", nullptr));
    if (!cipher) {
        fatal("AES-256-GCM fetch");
    }
    return cipher.get();
}

char sha256Name[] = "SHA256";

// EVP update calls take an int length; feed large buffers in pieces.
constexpr std::size_t chunk = 1 << 30;

} // namespace

void randomBytes(std::uint8_t* out, std::size_t size) {
    while (size > 0) {
        int n = static_cast<int>(size < chunk ? size : chunk);
        if (RAND_bytes(out, n) != 1) {
            fatal("RAND_bytes");
        }
        out += n;
        size -= static_cast<std::size_t>(n);
    }
}

Bytes randomBytes(std::size_t size) {
    Bytes b(size);
    randomBytes(b.data(), size);
    return b;
}

Digest sha256(std::string_view data) {
    Owned<EVP_MD_CTX> ctx(EVP_MD_CTX_new());
    if (!ctx || EVP_DigestInit_ex2(ctx.get(), sha256Algorithm(), nullptr) != 1 ||
        EVP_DigestUpdate(ctx.get(), data.data(), data.size()) != 1) {
        fatal("SHA-256");
    }
    Digest out{};
    unsigned int len = 0;
    if (EVP_DigestFinal_ex(ctx.get(), out.data(), &len) != 1 || len != out.size()) {
        fatal("SHA-256");
    }
    return out;
}

Digest hmacSha256(std::string_view key, std::string_view message) {
    Owned<EVP_MAC_CTX> ctx(EVP_MAC_CTX_new(hmacAlgorithm()));
    OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, sha256Name, 0),
        OSSL_PARAM_construct_end(),
    };
    if (!ctx || EVP_MAC_init(ctx.get(), bytesOf(key), key.size(), params) != 1 ||
        EVP_MAC_update(ctx.get(), bytesOf(message), message.size()) != 1) {
        fatal("HMAC-SHA256");
    }
    Digest out{};
    std::size_t len = 0;
    if (EVP_MAC_final(ctx.get(), out.data(), &len, out.size()) != 1 || len != out.size()) {
        fatal("HMAC-SHA256");
    }
    return out;
}

Bytes hkdfSha256(std::string_view ikm, std::string_view salt, std::string_view info,
                 std::size_t length) {
    Owned<EVP_KDF_CTX> ctx(EVP_KDF_CTX_new(hkdfAlgorithm()));
    auto param = [](const char* name, std::string_view v) {
        return OSSL_PARAM_construct_octet_string(name, const_cast<unsigned char*>(bytesOf(v)),
                                                 v.size());
    };
    OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_KDF_PARAM_DIGEST, sha256Name, 0),
        param(OSSL_KDF_PARAM_KEY, ikm),
        param(OSSL_KDF_PARAM_SALT, salt),
        param(OSSL_KDF_PARAM_INFO, info),
        OSSL_PARAM_construct_end(),
    };
    Bytes out(length);
    if (!ctx || EVP_KDF_derive(ctx.get(), out.data(), out.size(), params) != 1) {
        fatal("HKDF-SHA256");
    }
    return out;
}

void AesGcm::Free::operator()(evp_cipher_ctx_st* ctx) const {
    EVP_CIPHER_CTX_free(ctx);
}

AesGcm::AesGcm(const Key& key) : enc_(EVP_CIPHER_CTX_new()), dec_(EVP_CIPHER_CTX_new()) {
    // The key schedule is set up once; each line then only sets its nonce.
    if (!enc_ || !dec_ ||
        EVP_EncryptInit_ex2(enc_.get(), gcmAlgorithm(), key.data(), nullptr, nullptr) != 1 ||
        EVP_DecryptInit_ex2(dec_.get(), gcmAlgorithm(), key.data(), nullptr, nullptr) != 1) {
        fatal("AES-256-GCM key setup");
    }
}

AesGcm::~AesGcm() = default;
AesGcm::AesGcm(AesGcm&&) noexcept = default;
AesGcm& AesGcm::operator=(AesGcm&&) noexcept = default;

void AesGcm::sealBegin(const Nonce& nonce) {
    if (EVP_EncryptInit_ex2(enc_.get(), nullptr, nullptr, nonce.data(), nullptr) != 1) {
        fatal("AES-256-GCM seal");
    }
}

void AesGcm::sealUpdate(const std::uint8_t* plain, std::size_t size, std::uint8_t* out) {
    std::size_t done = 0;
    while (done < size) {
        int n = static_cast<int>(size - done < chunk ? size - done : chunk);
        int written = 0;
        if (EVP_EncryptUpdate(enc_.get(), out + done, &written, plain + done, n) != 1 ||
            written != n) {
            fatal("AES-256-GCM seal");
        }
        done += static_cast<std::size_t>(n);
    }
}

void AesGcm::sealFinish(std::uint8_t* tag) {
    unsigned char none[16];
    int tail = 0;
    if (EVP_EncryptFinal_ex(enc_.get(), none, &tail) != 1 || tail != 0) {
        fatal("AES-256-GCM seal");
    }
    OSSL_PARAM params[] = {
        OSSL_PARAM_construct_octet_string(OSSL_CIPHER_PARAM_AEAD_TAG, tag, gcmTagSize),
        OSSL_PARAM_construct_end(),
    };
    if (EVP_CIPHER_CTX_get_params(enc_.get(), params) != 1) {
        fatal("AES-256-GCM tag");
    }
}

bool AesGcm::openBegin(const Nonce& nonce) {
    return EVP_DecryptInit_ex2(dec_.get(), nullptr, nullptr, nonce.data(), nullptr) == 1;
}

bool AesGcm::openUpdate(const std::uint8_t* cipher, std::size_t size, std::uint8_t* out) {
    std::size_t done = 0;
    while (done < size) {
        int n = static_cast<int>(size - done < chunk ? size - done : chunk);
        int written = 0;
        if (EVP_DecryptUpdate(dec_.get(), out + done, &written, cipher + done, n) != 1 ||
            written != n) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool AesGcm::openFinish(const std::uint8_t* tag) {
    // The expected tag must be in place before the final step, which is what checks it.
    unsigned char expected[gcmTagSize];
    std::copy(tag, tag + gcmTagSize, expected);
    OSSL_PARAM params[] = {
        OSSL_PARAM_construct_octet_string(OSSL_CIPHER_PARAM_AEAD_TAG, expected, gcmTagSize),
        OSSL_PARAM_construct_end(),
    };
    if (EVP_CIPHER_CTX_set_params(dec_.get(), params) != 1) {
        return false;
    }
    unsigned char none[16];
    int tail = 0;
    return EVP_DecryptFinal_ex(dec_.get(), none, &tail) == 1 && tail == 0;
}

void AesGcm::seal(const Nonce& nonce, const std::uint8_t* plain, std::size_t size,
                  std::uint8_t* out) {
    sealBegin(nonce);
    sealUpdate(plain, size, out);
    sealFinish(out + size);
}

bool AesGcm::open(const Nonce& nonce, const std::uint8_t* cipher, std::size_t size,
                  const std::uint8_t* tag, std::uint8_t* out) {
    return openBegin(nonce) && openUpdate(cipher, size, out) && openFinish(tag);
}

} // namespace helm
