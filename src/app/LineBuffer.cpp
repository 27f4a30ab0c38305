#include "app/LineBuffer.h"

namespace helm {

std::vector<std::optional<std::string>> LineBuffer::feed(std::string_view bytes) {
    std::vector<std::optional<std::string>> lines;
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        std::string_view piece = bytes.substr(0, end);
        if (!skipping_) {
            if (pending_.size() + piece.size() > maxLine) {
                pending_.clear();
                skipping_ = true;
                lines.emplace_back(std::nullopt);
            } else {
                pending_.append(piece);
            }
        }
        if (end == std::string_view::npos) {
            break;
        }
        bytes.remove_prefix(end + 1);
        if (skipping_) {
            skipping_ = false;
            continue;
        }
        if (!pending_.empty() && pending_.back() == '\r') {
            pending_.pop_back();
        }
        if (!pending_.empty()) {
            lines.emplace_back(std::move(pending_));
        }
        pending_.clear();
    }
    return lines;
}

} // namespace helm
