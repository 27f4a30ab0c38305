#include "link/LineSplitter.h"

#include <cstring>

namespace helm {

void LineSplitter::append(const char* bytes, std::size_t n) {
    if (collecting_ && !complete_) {
        const void* hit = std::memchr(bytes, '\n', n);
        const std::size_t k =
            hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - bytes) : n;
        long_.append(bytes, k);
        if (!hit)
            return;
        complete_ = true;
        bytes += k + 1;
        n -= k + 1;
    }
    buf_.append(bytes, n);
}

LongBuffer LineSplitter::takeLong() {
    if (!complete_)
        return {};
    LongBuffer line = std::move(long_);
    collecting_ = complete_ = false;
    return line;
}

std::optional<std::string_view> LineSplitter::next() {
    if (collecting_)
        return std::nullopt;
    std::size_t from = scan_ > start_ ? scan_ : start_;
    const char* base = buf_.data();
    const void* hit =
        from < buf_.size() ? std::memchr(base + from, '\n', buf_.size() - from) : nullptr;
    if (!hit) {
        scan_ = buf_.size();
        if (buf_.size() - start_ >= longLine_) {
            // From now on the line's bytes go to the long buffer as they come.
            long_.append(buf_.data() + start_, buf_.size() - start_);
            collecting_ = true;
            buf_.resize(start_);
            scan_ = start_;
        }
        return std::nullopt;
    }
    auto nl = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
    std::string_view line(base + start_, nl - start_);
    start_ = nl + 1;
    scan_ = start_;
    return line;
}

void LineSplitter::compact() {
    if (start_ == 0)
        return;
    buf_.erase(0, start_);
    scan_ = scan_ > start_ ? scan_ - start_ : 0;
    start_ = 0;
}

void LineSplitter::clear() {
    long_ = LongBuffer();
    collecting_ = complete_ = false;
    buf_.clear();
    start_ = 0;
    scan_ = 0;
}

namespace {

// Length of the valid UTF-8 sequence at p, or 0 when it is not one.
std::size_t validSequence(const unsigned char* p, std::size_t left) {
    unsigned char c = p[0];
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        len = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        if (c == 0xE0)
            lo = 0xA0;
        if (c == 0xED)
            hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        if (c == 0xF0)
            lo = 0x90;
        if (c == 0xF4)
            hi = 0x8F;
    } else
        return 0;
    if (left < len)
        return 0;
    if (p[1] < lo || p[1] > hi)
        return 0;
    for (std::size_t i = 2; i < len; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF)
            return 0;
    return len;
}

} // namespace

std::string lossyUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0, n = bytes.size();
    while (i < n) {
        std::size_t len = validSequence(p + i, n - i);
        if (len == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(bytes.data() + i, len);
            i += len;
        }
    }
    return out;
}

} // namespace helm
