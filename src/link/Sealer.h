#pragma once

#include "link/Evp.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace helm {

// Seals or opens one direction of a logged-in link, one line at a time. The nonce is four zero
// bytes and the line counter big-endian, so both ends agree on it without sending it twice, and
// a replayed, dropped or reordered line fails to open.
//
// Move-only: a copy would seal a second line under the same nonce. A moved-from sealer seals
// nothing and opens nothing.
class Sealer {
public:
    explicit Sealer(const Key& key);
    // Starts at a given line number instead of 0; a test seam for counters that a real link
    // would take years to reach.
    Sealer(const Key& key, std::uint64_t counter);
    Sealer(Sealer&& other) noexcept;
    Sealer& operator=(Sealer&& other) noexcept;
    Sealer(const Sealer&) = delete;
    Sealer& operator=(const Sealer&) = delete;
    ~Sealer();

    // The base64 of nonce, ciphertext and tag; the counter grows by one.
    std::string seal(std::string_view line);
    // The same into a caller's buffer of sealedSize(line.size()) characters, for long lines.
    void sealInto(std::string_view line, char* out);
    static std::size_t sealedSize(std::size_t lineSize);

    // The plain line, or nothing; the counter grows by one only on success.
    std::optional<std::string> open(std::string_view text);
    // The same into a caller's buffer of openedSize(text) bytes, for long lines: false when
    // the line does not open (the buffer then holds nothing of use).
    bool openInto(std::string_view text, char* out);
    // Nothing for text that cannot be a sealed line at all.
    static std::optional<std::size_t> openedSize(std::string_view text);

    // The number of the next line to seal, or the number the next opened line must carry.
    std::uint64_t counter() const { return counter_; }

    static Nonce nonce(std::uint64_t counter);

private:
    std::unique_ptr<AesGcm> gcm_;
    std::uint64_t counter_ = 0;
};

} // namespace helm
