#include "support/AgentCrypto.h"

#include <cstdio>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>
#include <openssl/sha.h>
#include <stdexcept>

namespace helm::fake {

namespace {

Bytes hmacRaw(const Bytes& key, const Bytes& data) {
    Bytes out(32);
    unsigned int len = 0;
    static const std::uint8_t empty = 0;
    HMAC(EVP_sha256(), key.empty() ? &empty : key.data(), static_cast<int>(key.size()),
         data.empty() ? &empty : data.data(), data.size(), out.data(), &len);
    out.resize(len);
    return out;
}

// HKDF-SHA256 written out from its definition: extract, then one expand block of 32 bytes.
Bytes hkdf32(const Bytes& ikm, const Bytes& salt, const Bytes& info) {
    Bytes prk = hmacRaw(salt, ikm);
    Bytes t = info;
    t.push_back(0x01);
    return hmacRaw(prk, t);
}

int b64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

Bytes utf8(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::string base64(const Bytes& bytes) {
    std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), bytes.data(),
                            static_cast<int>(bytes.size()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::optional<Bytes> unbase64(const std::string& text) {
    if (text.size() % 4 != 0)
        return std::nullopt;
    // OpenSSL's decoder, not ours: the fake checks the hub's encoding independently.
    for (char c : text)
        if (c != '=' && b64Value(c) < 0)
            return std::nullopt;
    std::size_t pad = 0;
    while (pad < 2 && pad < text.size() && text[text.size() - 1 - pad] == '=')
        ++pad;
    if (text.find('=') < text.size() - pad)
        return std::nullopt;
    Bytes out(text.size() / 4 * 3);
    if (EVP_DecodeBlock(out.data(), reinterpret_cast<const unsigned char*>(text.data()),
                        static_cast<int>(text.size())) < 0)
        return std::nullopt;
    out.resize(out.size() - pad);
    return out;
}

std::string hexLower(const Bytes& bytes) {
    std::string out;
    char buf[3];
    for (auto b : bytes) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        out += buf;
    }
    return out;
}

Bytes randomBytes(std::size_t n) {
    Bytes out(n);
    if (RAND_bytes(out.data(), static_cast<int>(n)) != 1)
        throw std::runtime_error("no random bytes");
    return out;
}

std::string transcript(const std::string& hubNonce, const std::string& agentNonce,
                       const std::string& hubKey, const std::string& agentKey,
                       const std::string& role) {
    return "pivmor2|" + hubNonce + "|" + agentNonce + "|" + hubKey + "|" + agentKey + "|" + role;
}

std::string proof(const std::string& key, const std::string& message) {
    return hexLower(hmacRaw(utf8(key), utf8(message)));
}

std::pair<Bytes, Bytes> linkKeys(const Bytes& shared, const std::string& secret,
                                 const std::string& t) {
    return {hkdf32(shared, utf8(secret), utf8("h2a|" + t)),
            hkdf32(shared, utf8(secret), utf8("a2h|" + t))};
}

std::string checkCode(const std::string& t) {
    Bytes msg = utf8("pivmor-check|" + t);
    std::uint8_t d[SHA256_DIGEST_LENGTH];
    SHA256(msg.data(), msg.size(), d);
    std::uint32_t v = (std::uint32_t(d[0]) << 24) | (std::uint32_t(d[1]) << 16) |
                      (std::uint32_t(d[2]) << 8) | d[3];
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04u", v % 10000u);
    return buf;
}

AgentKey::AgentKey() : pkey_(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256")) {
    if (!pkey_)
        throw std::runtime_error("no P-256 key");
}

AgentKey::~AgentKey() {
    EVP_PKEY_free(static_cast<EVP_PKEY*>(pkey_));
}

std::string AgentKey::publicText(bool compressed) const {
    Bytes out(65);
    std::size_t len = 0;
    EVP_PKEY_get_octet_string_param(static_cast<EVP_PKEY*>(pkey_),
                                    OSSL_PKEY_PARAM_ENCODED_PUBLIC_KEY, out.data(), out.size(),
                                    &len);
    out.resize(len);
    if (compressed && out.size() == 65) {
        // 02 or 03 by the parity of y, then x.
        Bytes c(out.begin(), out.begin() + 33);
        c[0] = static_cast<std::uint8_t>(0x02 | (out[64] & 1));
        out = c;
    }
    return base64(out);
}

std::optional<Bytes> AgentKey::agree(const std::string& peerText) const {
    auto raw = unbase64(peerText);
    if (!raw)
        return std::nullopt;
    EVP_PKEY* peer = EVP_PKEY_new();
    EVP_PKEY* self = static_cast<EVP_PKEY*>(pkey_);
    std::optional<Bytes> result;
    if (EVP_PKEY_copy_parameters(peer, self) == 1 &&
        EVP_PKEY_set1_encoded_public_key(peer, raw->data(), raw->size()) == 1) {
        EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new(self, nullptr);
        std::size_t len = 0;
        if (ctx && EVP_PKEY_derive_init(ctx) == 1 && EVP_PKEY_derive_set_peer(ctx, peer) == 1 &&
            EVP_PKEY_derive(ctx, nullptr, &len) == 1) {
            Bytes s(len);
            if (EVP_PKEY_derive(ctx, s.data(), &len) == 1) {
                s.resize(len);
                result = s;
            }
        }
        EVP_PKEY_CTX_free(ctx);
    }
    EVP_PKEY_free(peer);
    return result;
}

std::string AgentSealer::seal(const std::string& line) {
    Bytes nonce(12, 0);
    for (int i = 0; i < 8; ++i)
        nonce[4 + i] = static_cast<std::uint8_t>(counter_ >> (56 - 8 * i));
    Bytes out = nonce;
    out.resize(12 + line.size() + 16);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int len = 0;
    EVP_EncryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr, key_.data(), nonce.data());
    EVP_EncryptUpdate(ctx, out.data() + 12, &len,
                      reinterpret_cast<const unsigned char*>(line.data()),
                      static_cast<int>(line.size()));
    EVP_EncryptFinal_ex(ctx, out.data() + 12 + len, &len);
    EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_GET_TAG, 16, out.data() + 12 + line.size());
    EVP_CIPHER_CTX_free(ctx);
    ++counter_;
    return base64(out);
}

std::optional<std::string> AgentSealer::open(const std::string& text) {
    auto raw = unbase64(text);
    if (!raw || raw->size() < 28)
        return std::nullopt;
    const Bytes& b = *raw;
    if (b[0] || b[1] || b[2] || b[3])
        return std::nullopt;
    std::uint64_t n = 0;
    for (int i = 0; i < 8; ++i)
        n = (n << 8) | b[4 + i];
    if (n != counter_)
        return std::nullopt;
    std::size_t plainLen = b.size() - 28;
    std::string plain(plainLen, '\0');
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int len = 0;
    Bytes tag(b.end() - 16, b.end());
    bool ok =
        EVP_DecryptInit_ex(ctx, EVP_aes_256_gcm(), nullptr, key_.data(), b.data()) == 1 &&
        EVP_DecryptUpdate(ctx, reinterpret_cast<unsigned char*>(plain.data()), &len, b.data() + 12,
                          static_cast<int>(plainLen)) == 1 &&
        EVP_CIPHER_CTX_ctrl(ctx, EVP_CTRL_GCM_SET_TAG, 16, tag.data()) == 1 &&
        EVP_DecryptFinal_ex(ctx, reinterpret_cast<unsigned char*>(plain.data()) + len, &len) == 1;
    EVP_CIPHER_CTX_free(ctx);
    if (!ok)
        return std::nullopt;
    ++counter_;
    return plain;
}

} // namespace helm::fake
