#include "app/CommandReader.h"

namespace helm {

std::vector<std::optional<std::string>> CommandReader::feed(std::string_view bytes) {
    std::vector<std::optional<std::string>> lines;
    buffer_.append(bytes.data(), bytes.size());
    while (std::optional<std::string_view> line = buffer_.next()) {
        if (skipping_) { // the tail of a line already answered
            skipping_ = false;
            continue;
        }
        std::string_view l = *line;
        if (!l.empty() && l.back() == '\r') {
            l.remove_suffix(1);
        }
        if (l.size() > maxLine) {
            lines.emplace_back(std::nullopt);
        } else if (!l.empty()) {
            lines.emplace_back(lossyUtf8(l));
        }
    }
    buffer_.compact();
    if (buffer_.size() > maxLine) {
        buffer_.clear();
        if (!skipping_) {
            skipping_ = true;
            lines.emplace_back(std::nullopt);
        }
    }
    return lines;
}

std::vector<std::optional<std::string>> CommandReader::finish() {
    return feed("\n");
}

} // namespace helm
