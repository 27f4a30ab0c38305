#pragma once

#include "link/Bytes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

struct evp_cipher_ctx_st;

namespace helm {

// Thin, owning wrappers over OpenSSL 3's EVP interfaces: the few primitives the PC link needs.

using Digest = std::array<std::uint8_t, 32>;
using Key = std::array<std::uint8_t, 32>;
using Nonce = std::array<std::uint8_t, 12>;

inline constexpr std::size_t gcmTagSize = 16;

// Bytes from the system's secure random source. A failure here means no safe secret, nonce or
// key can be made at all, so it ends the program instead of carrying on with weak values.
void randomBytes(std::uint8_t* out, std::size_t size);
Bytes randomBytes(std::size_t size);

Digest sha256(std::string_view data);
Digest hmacSha256(std::string_view key, std::string_view message);
Bytes hkdfSha256(std::string_view ikm, std::string_view salt, std::string_view info,
                 std::size_t length);

// AES-256-GCM with a 12-byte nonce and no additional data, keyed once.
class AesGcm {
public:
    explicit AesGcm(const Key& key);
    ~AesGcm();
    AesGcm(AesGcm&&) noexcept;
    AesGcm& operator=(AesGcm&&) noexcept;
    AesGcm(const AesGcm&) = delete;
    AesGcm& operator=(const AesGcm&) = delete;

    // Writes size bytes of ciphertext and then the 16-byte tag to out.
    void seal(const Nonce& nonce, const std::uint8_t* plain, std::size_t size, std::uint8_t* out);

    // Writes size bytes of plain text to out when the tag authenticates the ciphertext.
    [[nodiscard]] bool open(const Nonce& nonce, const std::uint8_t* cipher, std::size_t size,
                            const std::uint8_t* tag, std::uint8_t* out);

    // The same in pieces, so a large line needs no second copy: begin, any number of updates
    // (each writes as many bytes as it reads), then finish.
    void sealBegin(const Nonce& nonce);
    void sealUpdate(const std::uint8_t* plain, std::size_t size, std::uint8_t* out);
    void sealFinish(std::uint8_t* tag);
    [[nodiscard]] bool openBegin(const Nonce& nonce);
    [[nodiscard]] bool openUpdate(const std::uint8_t* cipher, std::size_t size, std::uint8_t* out);
    [[nodiscard]] bool openFinish(const std::uint8_t* tag);

private:
    struct Free {
        void operator()(evp_cipher_ctx_st* ctx) const;
    };
    std::unique_ptr<evp_cipher_ctx_st, Free> enc_;
    std::unique_ptr<evp_cipher_ctx_st, Free> dec_;
};

} // namespace helm
