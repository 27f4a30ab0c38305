#include "link/Sealer.h"

#include "link/Base64.h"
#include "link/Utf8.h"

#include <algorithm>

namespace helm {

namespace {

constexpr std::size_t nonceSize = 12;

} // namespace

Sealer::Sealer(const Key& key) : gcm_(std::make_unique<AesGcm>(key)) {}

Sealer::Sealer(const Key& key, std::uint64_t counter)
    : gcm_(std::make_unique<AesGcm>(key)), counter_(counter) {}

Sealer::Sealer(Sealer&& other) noexcept : gcm_(std::move(other.gcm_)), counter_(other.counter_) {}

Sealer& Sealer::operator=(Sealer&& other) noexcept {
    gcm_ = std::move(other.gcm_);
    counter_ = other.counter_;
    return *this;
}

Sealer::~Sealer() = default;

Nonce Sealer::nonce(std::uint64_t counter) {
    Nonce n{};
    for (int i = 0; i < 8; ++i) {
        n[4 + i] = static_cast<std::uint8_t>(counter >> (56 - 8 * i));
    }
    return n;
}

std::string Sealer::seal(std::string_view line) {
    if (!gcm_) {
        return {};
    }
    Nonce n = nonce(counter_);
    Bytes combined(nonceSize + line.size() + gcmTagSize);
    std::copy(n.begin(), n.end(), combined.begin());
    gcm_->seal(n, reinterpret_cast<const std::uint8_t*>(line.data()), line.size(),
               combined.data() + nonceSize);
    ++counter_;
    return base64Encode(combined);
}

std::optional<std::string> Sealer::open(std::string_view text) {
    if (!gcm_) {
        return std::nullopt;
    }
    auto combined = base64Decode(text);
    if (!combined || combined->size() < nonceSize + gcmTagSize) {
        return std::nullopt;
    }
    const std::uint8_t* b = combined->data();
    if (b[0] != 0 || b[1] != 0 || b[2] != 0 || b[3] != 0) {
        return std::nullopt;
    }
    std::uint64_t carried = 0;
    for (int i = 4; i < 12; ++i) {
        carried = (carried << 8) | b[i];
    }
    if (carried != counter_) {
        return std::nullopt;
    }
    Nonce n{};
    std::copy(b, b + nonceSize, n.begin());
    std::size_t size = combined->size() - nonceSize - gcmTagSize;
    std::string plain(size, '\0');
    if (!gcm_->open(n, b + nonceSize, size, b + nonceSize + size,
                    reinterpret_cast<std::uint8_t*>(plain.data()))) {
        return std::nullopt;
    }
    if (!isValidUtf8(plain)) {
        return std::nullopt;
    }
    ++counter_;
    return plain;
}

} // namespace helm
