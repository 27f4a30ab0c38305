#pragma once
// Splits a byte stream into "\n"-terminated lines in linear time: every byte is searched for the
// line break once, however the stream is chunked, and consumed bytes are dropped once per read.
// A line that grows past the long-line size goes on into a long buffer as it arrives, so it is
// never copied again as it grows and is handed over whole without a copy.
#include "link/LongBuffer.h"

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace helm {

class LineSplitter {
public:
    LineSplitter() = default;
    explicit LineSplitter(std::size_t longLine) : longLine_(longLine) {}

    void append(const char* bytes, std::size_t n);
    // The next complete line without its "\n", valid until the next append or compact. Stops
    // at a long line: nothing is returned until `takeLong` has taken it.
    std::optional<std::string_view> next();
    // A complete long line is waiting to be taken.
    bool hasLong() const { return complete_; }
    // The complete long line without its "\n".
    LongBuffer takeLong();
    // Drops the lines already taken; call once after each read.
    void compact();
    // Bytes held that do not belong to a line taken yet.
    std::size_t size() const { return buf_.size() - start_ + long_.size(); }
    void clear();

private:
    std::size_t longLine_ = std::numeric_limits<std::size_t>::max();
    LongBuffer long_;         // the long line being received
    bool collecting_ = false; // a long line is being received into long_
    bool complete_ = false;   // its line break arrived
    std::string buf_;
    std::size_t start_ = 0; // first byte not yet taken
    std::size_t scan_ = 0;  // bytes before this offset hold no line break
};

// The line as UTF-8 text, invalid sequences replaced by U+FFFD.
std::string lossyUtf8(std::string_view bytes);

} // namespace helm
