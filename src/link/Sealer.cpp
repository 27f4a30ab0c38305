#include "link/Sealer.h"

#include "link/Base64.h"
#include "link/Utf8.h"

#include <algorithm>

namespace helm {

namespace {

constexpr std::size_t nonceSize = 12;
constexpr std::size_t nonceChars = 16;   // 12 bytes encode to 16 characters without padding
constexpr std::size_t block = 3 * 16384; // bytes sealed or opened per step of a long line

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

std::size_t Sealer::sealedSize(std::size_t lineSize) {
    return base64EncodedSize(nonceSize + lineSize + gcmTagSize);
}

std::string Sealer::seal(std::string_view line) {
    if (!gcm_) {
        return {};
    }
    std::string out(sealedSize(line.size()), '\0');
    sealInto(line, out.data());
    return out;
}

void Sealer::sealInto(std::string_view line, char* o) {
    if (!gcm_) {
        return;
    }
    // The combined form is encoded piece by piece straight into the result, so a 100 MB clip
    // line is not held a second time. Every piece but the last is a multiple of 3 bytes long,
    // so the pieces' base64 joined is the base64 of the whole.
    const std::size_t size = line.size();
    const Nonce n = nonce(counter_);
    o += base64EncodeTo(n.data(), n.size(), o);
    gcm_->sealBegin(n);
    Bytes scratch(std::min(size, block) + gcmTagSize);
    auto* plain = reinterpret_cast<const std::uint8_t*>(line.data());
    std::size_t left = size;
    while (left > block) {
        gcm_->sealUpdate(plain, block, scratch.data());
        o += base64EncodeTo(scratch.data(), block, o);
        plain += block;
        left -= block;
    }
    gcm_->sealUpdate(plain, left, scratch.data());
    gcm_->sealFinish(scratch.data() + left);
    base64EncodeTo(scratch.data(), left + gcmTagSize, o);
    ++counter_;
}

std::optional<std::size_t> Sealer::openedSize(std::string_view text) {
    auto total = base64DecodedSize(text);
    if (!total || *total < nonceSize + gcmTagSize) {
        return std::nullopt;
    }
    // What follows the nonce is the ciphertext and then the tag.
    return *total - nonceSize - gcmTagSize;
}

std::optional<std::string> Sealer::open(std::string_view text) {
    std::optional<std::size_t> size = openedSize(text);
    if (!gcm_ || !size) {
        return std::nullopt;
    }
    std::string plain(*size, '\0');
    if (!openInto(text, plain.data())) {
        return std::nullopt;
    }
    return plain;
}

bool Sealer::openInto(std::string_view text, char* into) {
    std::optional<std::size_t> opened = openedSize(text);
    if (!gcm_ || !opened) {
        return false;
    }
    // A piece that is not the last must decode to its full length: a "=" inside it would
    // otherwise pass as padding.
    auto decodePiece = [](std::string_view piece, std::uint8_t* out,
                          bool last) -> std::optional<std::size_t> {
        auto n = base64DecodeTo(piece, out);
        if (!n || (!last && *n != piece.size() / 4 * 3)) {
            return std::nullopt;
        }
        return n;
    };
    Nonce n{};
    if (!decodePiece(text.substr(0, nonceChars), n.data(), false)) {
        return false;
    }
    if (n[0] != 0 || n[1] != 0 || n[2] != 0 || n[3] != 0) {
        return false;
    }
    std::uint64_t carried = 0;
    for (std::size_t i = 4; i < nonceSize; ++i) {
        carried = (carried << 8) | n[i];
    }
    if (carried != counter_) {
        return false;
    }

    const std::size_t size = *opened;
    auto* out = reinterpret_cast<std::uint8_t*>(into);
    std::uint8_t tag[gcmTagSize];
    if (!gcm_->openBegin(n)) {
        return false;
    }
    std::string_view rest = text.substr(nonceChars);
    Bytes scratch(std::min(size + gcmTagSize, block));
    std::size_t pos = 0; // in the ciphertext-and-tag stream
    while (!rest.empty()) {
        std::string_view piece = rest.substr(0, block / 3 * 4);
        rest.remove_prefix(piece.size());
        auto decoded = decodePiece(piece, scratch.data(), rest.empty());
        if (!decoded) {
            return false;
        }
        std::size_t got = *decoded;
        std::size_t cipher = pos < size ? std::min(got, size - pos) : 0;
        if (!gcm_->openUpdate(scratch.data(), cipher, out + pos)) {
            return false;
        }
        for (std::size_t i = cipher; i < got; ++i) {
            tag[pos + i - size] = scratch[i];
        }
        pos += got;
    }
    if (!gcm_->openFinish(tag) || !isValidUtf8(std::string_view(into, size))) {
        return false;
    }
    ++counter_;
    return true;
}

} // namespace helm
