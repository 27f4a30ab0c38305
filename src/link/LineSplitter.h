#pragma once
// Splits a byte stream into "\n"-terminated lines in linear time: every byte is searched for the
// line break once, however the stream is chunked, and consumed bytes are dropped once per read.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace helm {

class LineSplitter {
public:
    void append(const char* bytes, std::size_t n) { buf_.append(bytes, n); }
    // The next complete line without its "\n", valid until the next append or compact.
    std::optional<std::string_view> next();
    // Drops the lines already taken; call once after each read.
    void compact();
    // Bytes held that do not belong to a line taken yet.
    std::size_t size() const { return buf_.size() - start_; }
    void clear();

private:
    std::string buf_;
    std::size_t start_ = 0; // first byte not yet taken
    std::size_t scan_ = 0;  // bytes before this offset hold no line break
};

// The line as UTF-8 text, invalid sequences replaced by U+FFFD.
std::string lossyUtf8(std::string_view bytes);

} // namespace helm
