#include "platform/PasteboardFormats.h"

#include <optional>

namespace helm::pasteboardFormats {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::optional<std::string> percentDecode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        int hi = i + 1 < s.size() ? hexValue(s[i + 1]) : -1;
        int lo = i + 2 < s.size() ? hexValue(s[i + 2]) : -1;
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    return out;
}

// A file: URL on this computer as a path: "file:///p" or "file://localhost/p".
std::optional<std::string> localPath(std::string_view url) {
    constexpr std::string_view scheme = "file://";
    if (url.size() < scheme.size() || url.substr(0, scheme.size()) != scheme)
        return std::nullopt;
    url.remove_prefix(scheme.size());
    if (url.substr(0, 9) == "localhost")
        url.remove_prefix(9);
    if (url.empty() || url.front() != '/')
        return std::nullopt; // another host's file
    if (auto q = url.find_first_of("?#"); q != std::string_view::npos)
        url = url.substr(0, q);
    auto path = percentDecode(url);
    // A NUL would cut the path short when it reaches the system.
    if (!path || path->find('\0') != std::string::npos)
        return std::nullopt;
    return path;
}

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        out.push_back(line);
        pos = end + 1;
    }
    return out;
}

std::string encode(const std::string& path) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out = "file://";
    for (unsigned char c : path) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

} // namespace

std::vector<std::string> pathsFromUriList(std::string_view text) {
    std::vector<std::string> out;
    for (std::string_view line : lines(text)) {
        if (line.empty() || line.front() == '#')
            continue;
        if (auto p = localPath(line))
            out.push_back(*p);
    }
    return out;
}

std::vector<std::string> pathsFromGnomeFiles(std::string_view text) {
    auto all = lines(text);
    std::vector<std::string> out;
    if (all.empty() || (all.front() != "copy" && all.front() != "cut"))
        return out;
    for (std::size_t i = 1; i < all.size(); ++i) {
        if (auto p = localPath(all[i]))
            out.push_back(*p);
    }
    return out;
}

std::string uriListOf(const std::vector<std::string>& paths) {
    std::string out;
    for (const auto& p : paths)
        out += encode(p) + "\r\n";
    return out;
}

std::string gnomeFilesOf(const std::vector<std::string>& paths) {
    std::string out = "copy";
    for (const auto& p : paths)
        out += "\n" + encode(p);
    return out;
}

bool isSecretHint(std::string_view value) {
    return value == "secret";
}

} // namespace helm::pasteboardFormats
