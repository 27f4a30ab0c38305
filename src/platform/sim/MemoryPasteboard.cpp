#include "platform/sim/MemoryPasteboard.h"

#include "platform/PasteboardFormats.h"

namespace helm {

namespace fmt = pasteboardFormats;

void MemoryPasteboard::set(Items items) {
    items_ = std::move(items);
    ++count_;
}

std::vector<std::string> MemoryPasteboard::types() const {
    std::vector<std::string> out;
    for (const auto& [type, data] : items_)
        out.push_back(type);
    if (auto it = items_.find(fmt::passwordHint);
        it != items_.end() && fmt::isSecretHint(it->second))
        out.push_back(concealedType);
    return out;
}

std::vector<std::string> MemoryPasteboard::filePaths() const {
    if (auto it = items_.find(fmt::uriList); it != items_.end())
        return fmt::pathsFromUriList(it->second);
    if (auto it = items_.find(fmt::gnomeFiles); it != items_.end())
        return fmt::pathsFromGnomeFiles(it->second);
    return {};
}

std::optional<std::string> MemoryPasteboard::text() const {
    for (const char* type : {"text/plain;charset=utf-8", "text/plain"})
        if (auto it = items_.find(type); it != items_.end())
            return it->second;
    return std::nullopt;
}

std::optional<Pasteboard::Data> MemoryPasteboard::png() const {
    if (auto it = items_.find("image/png"); it != items_.end())
        return Data(it->second.begin(), it->second.end());
    return std::nullopt;
}

void MemoryPasteboard::setText(const std::string& text) {
    set({{"text/plain", text}});
}

void MemoryPasteboard::setPng(const Data& png) {
    set({{"image/png", std::string(png.begin(), png.end())}});
}

void MemoryPasteboard::setFiles(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        set({});
        return;
    }
    set({{fmt::uriList, fmt::uriListOf(paths)}, {fmt::gnomeFiles, fmt::gnomeFilesOf(paths)}});
}

} // namespace helm
