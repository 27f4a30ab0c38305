#pragma once

#include "link/LineSplitter.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace helm {

// Cuts a test-port connection's byte stream into command lines, whatever way the stream was
// split into reads. A carriage return before the line feed is dropped, and so are empty lines;
// invalid UTF-8 is replaced. A line that grows past maxLine bytes is reported once as nothing
// and the rest of it, up to its line feed, is skipped, so a client that never sends a line
// feed cannot grow the buffer forever.
class CommandReader {
public:
    static constexpr std::size_t maxLine = 65'536;

    std::vector<std::optional<std::string>> feed(std::string_view bytes);
    // The client sends no more: a last line without its line feed is a line all the same.
    std::vector<std::optional<std::string>> finish();

private:
    LineSplitter buffer_;
    bool skipping_ = false;
};

} // namespace helm
