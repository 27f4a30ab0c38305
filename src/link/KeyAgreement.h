#pragma once
// One P-256 key-agreement key pair, made for a single connection.
#include <cstdint>
#include <optional>
#include <vector>

namespace helm {

class KeyAgreement {
public:
    KeyAgreement(); // a new private key; a failure of the random source is fatal
    ~KeyAgreement();
    KeyAgreement(KeyAgreement&& other) noexcept;
    KeyAgreement& operator=(KeyAgreement&& other) noexcept;
    KeyAgreement(const KeyAgreement&) = delete;
    KeyAgreement& operator=(const KeyAgreement&) = delete;

    // The public key in X9.63 uncompressed form (65 bytes).
    std::vector<std::uint8_t> publicX963() const;
    // The shared secret with a peer key in X9.63 uncompressed form; nothing for a key of another
    // form, a point off the curve, or a failed agreement.
    std::optional<std::vector<std::uint8_t>> agree(const std::vector<std::uint8_t>& peer) const;

private:
    void* pkey_ = nullptr;
};

} // namespace helm
