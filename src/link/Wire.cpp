#include "link/Wire.h"

#include "link/Base64.h"
#include "link/Decimal.h"
#include "link/Evp.h"
#include "link/LongBuffers.h"
#include "link/Utf8.h"

#include <unicode/uchar.h>

#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace helm {

namespace {

std::string join(std::initializer_list<std::string_view> tokens) {
    std::string line;
    for (std::string_view t : tokens) {
        if (!line.empty()) {
            line += ' ';
        }
        line += t;
    }
    return line;
}

std::string flag(bool on) {
    return on ? "1" : "0";
}

std::optional<std::string> decodeText(std::string_view token) {
    auto bytes = base64Decode(token);
    if (!bytes || !isValidUtf8(asText(*bytes))) {
        return std::nullopt;
    }
    return std::string(asText(*bytes));
}

bool isControl(char32_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F);
}

// Characters that reorder how a name is displayed: they can make "gpj.exe" read as "exe.jpg".
bool isBidiControl(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

// Characters that show nothing: two names that differ only by them look the same.
bool isInvisible(char32_t c) {
    return (c >= 0x200B && c <= 0x200D) || c == 0x2060 || c == 0xFEFF;
}

// Unicode's White_Space property.
bool isWhiteSpace(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

bool hasSlashOrWhiteSpace(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto c = nextScalar(text, pos);
        if (!c || *c == '/' || isWhiteSpace(*c)) {
            return true;
        }
    }
    return false;
}

// Why a display cannot be used, or nothing.
std::optional<std::string> unusable(const DisplayInfo& d) {
    if (d.key.empty() || hasSlashOrWhiteSpace(d.key)) {
        return std::string("a display key is empty or holds \"/\" or white space");
    }
    if (d.index < 0) {
        return std::string("a display index is negative");
    }
    for (double v : {d.x, d.y, d.w, d.h, d.mmW, d.mmH}) {
        if (!std::isfinite(v)) {
            return std::string("a display position or size is not finite");
        }
    }
    if (!(d.w > 0) || !(d.h > 0)) {
        return std::string("a display has no width or height");
    }
    return std::nullopt;
}

} // namespace

std::vector<std::string_view> Wire::split(std::string_view line) {
    std::vector<std::string_view> tokens;
    std::size_t pos = 0;
    while (pos < line.size()) {
        std::size_t end = line.find(' ', pos);
        if (end == std::string_view::npos) {
            end = line.size();
        }
        if (end > pos) {
            tokens.push_back(line.substr(pos, end - pos));
        }
        pos = end + 1;
    }
    return tokens;
}

std::string Wire::key(std::int64_t code, bool down) {
    return join({"k", decimal(code), flag(down)});
}

std::string Wire::button(std::int64_t number, bool down) {
    return join({"b", decimal(number), flag(down)});
}

std::string Wire::move(std::int64_t dx, std::int64_t dy) {
    return join({"m", decimal(dx), decimal(dy)});
}

std::string Wire::wheel(std::int64_t dy, std::int64_t dx) {
    return join({"w", decimal(dy), decimal(dx)});
}

std::string Wire::b64(std::string_view text) {
    return base64Encode(text);
}

std::string Wire::b64(const Bytes& bytes) {
    return base64Encode(bytes);
}

namespace {

// The head of a clip's line and the payloads it carries, in order.
std::pair<std::string_view, std::vector<std::pair<const std::uint8_t*, std::size_t>>>
clipParts(const Clip& clip) {
    std::vector<std::pair<const std::uint8_t*, std::size_t>> parts;
    if (auto* t = std::get_if<Clip::Text>(&clip.value)) {
        parts.emplace_back(reinterpret_cast<const std::uint8_t*>(t->text.data()), t->text.size());
        return {"c ", std::move(parts)};
    }
    if (auto* i = std::get_if<Clip::Image>(&clip.value)) {
        parts.emplace_back(i->png.data(), i->png.size());
        return {"ci ", std::move(parts)};
    }
    for (const auto& f : std::get<Clip::Files>(clip.value).files) {
        parts.emplace_back(reinterpret_cast<const std::uint8_t*>(f.name.data()), f.name.size());
        parts.emplace_back(f.data.data(), f.data.size());
    }
    return {"cf ", std::move(parts)};
}

} // namespace

std::size_t Wire::setClipSize(std::string_view head, const std::vector<std::size_t>& parts) {
    std::size_t size = head.size() + (parts.empty() ? 0 : parts.size() - 1);
    for (std::size_t n : parts) {
        size += base64EncodedSize(n);
    }
    return size;
}

std::size_t Wire::setClipSize(const Clip& clip) {
    auto [head, parts] = clipParts(clip);
    std::vector<std::size_t> sizes;
    for (const auto& [data, n] : parts) {
        sizes.push_back(n);
    }
    return setClipSize(head, sizes);
}

std::string Wire::setClip(const Clip& clip) {
    // Built in one buffer of its final size: a 100 MB clip is one long line, and every copy or
    // regrowth of it would cost as much again.
    auto [head, parts] = clipParts(clip);
    std::string line;
    LongBuffers::reserveLong(line, setClipSize(clip));
    line = head;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (k > 0) {
            line += k % 2 == 1 ? ':' : ' '; // name:data, files apart
        }
        const std::size_t at = line.size();
        line.resize(at + base64EncodedSize(parts[k].second));
        base64EncodeTo(parts[k].first, parts[k].second, line.data() + at);
    }
    return line;
}

std::string Wire::overlay(std::int64_t display, std::string_view mode, std::int64_t number) {
    return join({"o", decimal(display), mode, decimal(number)});
}

std::string Wire::warp(std::int64_t display, std::string_view dir, std::int64_t number,
                       std::string_view name) {
    return join({"W", decimal(display), dir, decimal(number), b64(name)});
}

std::string Wire::animation(const std::optional<json::Json>& recipe) {
    if (!recipe) {
        return "A -";
    }
    try {
        return "A " + b64(json::dump(*recipe));
    } catch (const json::EncodeError&) {
        return "A -";
    } catch (const json::Json::exception&) { // a string that is not UTF-8
        return "A -";
    }
}

std::string Wire::newPairCode() {
    // Rejection sampling: values at or above the largest multiple of 10^6 below 2^32 would make
    // the low codes slightly more likely.
    constexpr std::uint32_t range = 1'000'000;
    constexpr std::uint32_t limit = UINT32_MAX - (UINT32_MAX % range + 1) % range;
    std::uint32_t v;
    do {
        std::uint8_t b[4];
        randomBytes(b, sizeof b);
        v = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
            b[3];
    } while (v > limit);
    char buf[8];
    std::snprintf(buf, sizeof buf, "%06u", static_cast<unsigned>(v % range));
    return buf;
}

std::optional<Wire::ClipReply> Wire::clipReply(std::string_view line) {
    auto tokens = split(line);
    if (tokens.size() < 2) {
        return std::nullopt;
    }
    if (tokens[0] != "c" && tokens[0] != "ci" && tokens[0] != "cf") {
        return std::nullopt;
    }
    auto number = parseDecimal(tokens[1]);
    if (!number) {
        return std::nullopt;
    }
    if (tokens.size() == 2) {
        return ClipReply{*number, std::nullopt};
    }
    auto clip = decode(tokens[0], {tokens.begin() + 2, tokens.end()});
    if (!clip) {
        return std::nullopt;
    }
    return ClipReply{*number, std::move(clip)};
}

std::optional<Clip> Wire::decode(std::string_view kind,
                                 const std::vector<std::string_view>& payload) {
    if (kind == "c") {
        if (payload.empty()) {
            return std::nullopt;
        }
        auto text = decodeText(payload[0]);
        if (!text) {
            return std::nullopt;
        }
        return Clip::text(std::move(*text));
    }
    if (kind == "ci") {
        if (payload.empty()) {
            return std::nullopt;
        }
        auto png = base64Decode(payload[0]);
        if (!png || png->empty()) {
            return std::nullopt;
        }
        return Clip::image(std::move(*png));
    }
    if (kind == "cf") {
        if (payload.empty()) {
            return std::nullopt;
        }
        std::vector<ClipFile> files;
        for (std::string_view token : payload) {
            std::size_t colon = token.find(':');
            if (colon == std::string_view::npos) {
                return std::nullopt;
            }
            auto raw = decodeText(token.substr(0, colon));
            auto name = raw ? safeName(*raw) : std::nullopt;
            auto data = base64Decode(token.substr(colon + 1));
            if (!name || !data) {
                return std::nullopt;
            }
            files.push_back({std::move(*name), std::move(*data)});
        }
        return Clip::files(std::move(files));
    }
    return std::nullopt;
}

std::optional<std::vector<DisplayInfo>> Wire::displaysReply(std::string_view line,
                                                            std::string* problem) {
    if (line.substr(0, 2) != "d ") {
        return std::nullopt;
    }
    auto fail = [&](const std::string& why) -> std::optional<std::vector<DisplayInfo>> {
        if (problem) {
            *problem = "display list ignored: " + why;
        }
        return std::nullopt;
    };
    if (line.size() > maxDisplaysLine) {
        char size[64];
        std::snprintf(size, sizeof size, "%zu bytes, at most %zu are taken", line.size(),
                      maxDisplaysLine);
        return fail(size); // before decoding: a sound list is far shorter
    }
    auto bytes = base64Decode(line.substr(2));
    if (!bytes) {
        return fail("not base64");
    }
    if (json::nestsDeeperThan(asText(*bytes), maxJsonDepth)) {
        return fail("nested too deeply");
    }
    json::Json j;
    try {
        j = json::parse(std::string(asText(*bytes)));
    } catch (const json::DecodeError& e) {
        return fail(e.what());
    }
    if (!j.is_array()) {
        return fail("expected an array");
    }
    // One odd display costs only itself: the PC's other screens still appear.
    std::vector<DisplayInfo> displays;
    std::string first;
    std::size_t left = 0;
    for (const auto& e : j) {
        std::optional<std::string> why;
        DisplayInfo d;
        try {
            d = DisplayInfo::fromJson(e);
            why = unusable(d);
        } catch (const json::DecodeError& err) {
            why = err.what();
        }
        if (!why && displays.size() == maxDisplays) {
            char text[64];
            std::snprintf(text, sizeof text, "at most %zu are taken", maxDisplays);
            why = text;
        }
        if (why) {
            first = first.empty() ? *why : first;
            ++left;
        } else {
            displays.push_back(std::move(d));
        }
    }
    if (left > 0 && displays.empty()) {
        return fail(first);
    }
    if (left > 0 && problem) {
        char text[96];
        std::snprintf(text, sizeof text, "display list: %zu of %zu displays left out, ", left,
                      j.size());
        *problem = text + first;
    }
    return displays;
}

std::optional<std::pair<std::int64_t, std::int64_t>> Wire::fastMove(std::string_view line) {
    if (line.substr(0, 4) != "L m ") {
        return std::nullopt;
    }
    auto tokens = split(line);
    if (tokens.size() != 4) {
        return std::nullopt;
    }
    auto dx = parseDecimal(tokens[2]);
    auto dy = parseDecimal(tokens[3]);
    if (!dx || !dy) {
        return std::nullopt;
    }
    return std::pair{*dx, *dy};
}

std::optional<Wire::Input> Wire::input(std::string_view line) {
    auto tokens = split(line);
    if (tokens.empty()) {
        return std::nullopt;
    }
    Input in{std::string(tokens[0]), {}};
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        if (auto n = parseDecimal(tokens[i])) {
            in.numbers.push_back(*n);
        }
    }
    return in;
}

std::optional<std::string> Wire::safeName(std::string_view name) {
    if (!isValidUtf8(name)) {
        return std::nullopt;
    }
    // The last path component, whichever separator the sending system uses.
    std::string_view last;
    std::size_t pos = 0;
    while (pos <= name.size()) {
        std::size_t end = name.find_first_of("/\\:", pos);
        if (end == std::string_view::npos) {
            end = name.size();
        }
        if (end > pos) {
            last = name.substr(pos, end - pos);
        }
        pos = end + 1;
    }
    std::string out;
    pos = 0;
    while (pos < last.size()) {
        std::size_t start = pos;
        char32_t c = *nextScalar(last, pos);
        if (isControl(c) || isBidiControl(c) || c == '<' || c == '>' || c == '"' || c == '|' ||
            c == '?' || c == '*') {
            continue;
        }
        out.append(last.substr(start, pos - start));
    }
    std::size_t first = out.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return std::nullopt;
    }
    out = out.substr(first, out.find_last_not_of(" \t") - first + 1);
    if (out.front() == '.' || out.size() >= 256) {
        return std::nullopt;
    }
    return out;
}

bool Wire::isValidPCName(std::string_view name) {
    if (name.empty() || name.size() > 64 || name == "mac" || !isValidUtf8(name)) {
        return false;
    }
    std::size_t pos = 0;
    bool readable = false;
    while (pos < name.size()) {
        char32_t c = *nextScalar(name, pos);
        if (isControl(c) || isBidiControl(c) || isInvisible(c) || c == '/' || isWhiteSpace(c)) {
            return false;
        }
        // Replacement marks (bytes that were not UTF-8) and combining marks show nothing to
        // tell one PC from another.
        readable = readable || (c != 0xFFFD && (U_GET_GC_MASK(c) & U_GC_M_MASK) == 0);
    }
    return readable;
}

} // namespace helm
