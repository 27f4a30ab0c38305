#include "app/CommandLine.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace helm {

CommandLine::CommandLine(std::vector<std::string> a) : args(std::move(a)) {}

CommandLine::CommandLine(int argc, const char* const* argv) {
    for (int i = 0; i < argc; ++i) {
        args.emplace_back(argv[i] != nullptr ? argv[i] : "");
    }
}

std::optional<std::string> CommandLine::arg(const std::string& name) const {
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end() || it + 1 == args.end()) {
        return std::nullopt;
    }
    return *(it + 1);
}

bool CommandLine::has(const std::string& name) const {
    return std::find(args.begin(), args.end(), name) != args.end();
}

std::optional<std::uint16_t> CommandLine::testPort() const {
    std::optional<std::string> value = arg("--test-port");
    if (!value) {
        return std::nullopt;
    }
    return parsePort(*value);
}

std::optional<std::string> CommandLine::missingValue() const {
    static const std::pair<const char*, const char*> needs[] = {
        {"--replay", "a folder (usage: helmvantor --replay FOLDER)"},
        {"--test-port", "a port number (usage: helmvantor --test-port PORT [--no-camera])"},
    };
    for (const auto& [option, value] : needs) {
        if (has(option) && !arg(option)) {
            return std::string("helmvantor: ") + option + " needs " + value;
        }
    }
    return std::nullopt;
}

std::optional<std::uint16_t> parsePort(const std::string& text) {
    if (text.empty() || text.size() > 5) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size(); ++i) {
        char ch = s[i];
        auto c = static_cast<unsigned char>(ch);
        // The C1 control characters U+0080 to U+009F, encoded as 0xC2 0x80..0x9F: some
        // viewers take U+0085 for a line break, so they are escaped like the C0 ones.
        if (c == 0xC2 && i + 1 < s.size()) {
            auto next = static_cast<unsigned char>(s[i + 1]);
            if (next >= 0x80 && next <= 0x9F) {
                char esc[12];
                std::snprintf(esc, sizeof esc, "\\u{%X}", next);
                out += esc;
                ++i;
                continue;
            }
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\0':
            out += "\\0";
            break;
        default:
            if (c < 0x20 || c == 0x7f) {
                char esc[12];
                std::snprintf(esc, sizeof esc, "\\u{%X}", c);
                out += esc;
            } else {
                out += ch;
            }
        }
    }
    return out + "\"";
}

std::string CommandLine::startLine(bool iso) const {
    std::string list;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--token", 0) == 0 || (i >= 2 && args[i - 1] == "--token")) {
            continue;
        }
        list += list.empty() ? "" : ", ";
        list += quoted(a);
    }
    return std::string("start iso=") + (iso ? "true" : "false") + " args=[" + list + "]";
}

} // namespace helm
