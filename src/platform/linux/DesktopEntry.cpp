#include "platform/linux/DesktopEntry.h"

#include <sstream>
#include <string_view>

namespace helm::DesktopEntry {

namespace {

std::string trim(std::string_view s) {
    std::size_t a = s.find_first_not_of(" \t");
    if (a == std::string_view::npos) {
        return {};
    }
    std::size_t b = s.find_last_not_of(" \t\r");
    return std::string(s.substr(a, b - a + 1));
}

std::string unescape(const std::string& v) {
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\' || i + 1 == v.size()) {
            out += v[i];
            continue;
        }
        char c = v[++i];
        switch (c) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            out += c;
            break; // "\\" and anything unknown: the character itself
        }
    }
    return out;
}

} // namespace

std::map<std::string, std::string> read(const std::string& text) {
    std::map<std::string, std::string> keys;
    std::istringstream in(text);
    std::string line;
    bool inGroup = false;
    while (std::getline(in, line)) {
        std::string t = trim(line);
        if (t.empty() || t[0] == '#') {
            continue;
        }
        if (t[0] == '[') {
            inGroup = t == "[Desktop Entry]";
            continue;
        }
        std::size_t eq = t.find('=');
        if (!inGroup || eq == std::string::npos) {
            continue;
        }
        std::string key = trim(std::string_view(t).substr(0, eq));
        if (key.find('[') != std::string::npos) {
            continue; // a localised value
        }
        keys.emplace(key, unescape(trim(std::string_view(t).substr(eq + 1))));
    }
    return keys;
}

std::string escape(const std::string& value) {
    std::string out;
    for (char c : value) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

std::string quoteArg(const std::string& arg) {
    static constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    bool quote = arg.empty() || arg.find_first_of(reserved) != std::string::npos;
    std::string out;
    for (char c : arg) {
        if (c == '%') {
            out += "%%";
        } else if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) {
            out += '\\';
            out += c;
        } else {
            out += c;
        }
    }
    return quote ? "\"" + out + "\"" : out;
}

std::optional<std::vector<std::string>> splitExec(const std::string& exec) {
    std::vector<std::string> args;
    std::string cur;
    bool have = false;
    bool quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        char c = exec[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < exec.size()) {
                cur += exec[++i];
            } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
                cur += '%';
                ++i;
            } else {
                cur += c;
            }
        } else if (c == ' ' || c == '\t') {
            if (have) {
                args.push_back(cur);
                cur.clear();
                have = false;
            }
        } else if (c == '"') {
            quoted = true;
            have = true;
        } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
            cur += '%';
            have = true;
            ++i;
        } else {
            cur += c;
            have = true;
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    if (have) {
        args.push_back(cur);
    }
    return args;
}

} // namespace helm::DesktopEntry
