#include "overlays/Jumps.h"

#include <cstdint>

namespace helm::Jumps {

json::Json File::toJson() const {
    json::Json list = json::Json::array();
    for (const JumpRecipe& r : recipes) {
        list.push_back(r.toJson());
    }
    return {{"default", defaultId}, {"recipes", std::move(list)}};
}

File File::fromJson(const json::Json& j) {
    File f;
    f.defaultId = json::getString(j, "default");
    const json::Json& list = json::field(j, "recipes");
    if (!list.is_array()) {
        throw json::DecodeError("\"recipes\": expected an array");
    }
    for (const json::Json& r : list) {
        f.recipes.push_back(JumpRecipe::fromJson(r));
    }
    return f;
}

std::optional<File> decode(std::string_view bytes, std::string* why) {
    try {
        return File::fromJson(json::parse(std::string(bytes)));
    } catch (const json::DecodeError& e) {
        if (why) {
            *why = e.what();
        }
        return std::nullopt;
    }
}

namespace {

constexpr std::uint32_t green = 0x30D158;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// By hand: the library's parsers skip spaces, take "0x" and saturate or throw on overflow.
std::uint32_t parseValue(std::string_view t) {
    if (!t.empty() && t.front() == '#') {
        t.remove_prefix(1);
    }
    bool negative = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    if (t.empty()) {
        return green;
    }
    std::uint64_t v = 0;
    for (char c : t) {
        int d = hexDigit(c);
        if (d < 0) {
            return green;
        }
        v = v * 16 + static_cast<std::uint64_t>(d);
        if (v > 0xFFFFFFFFu) {
            return green;
        }
    }
    // An unsigned number takes a minus sign only for zero.
    if (negative && v != 0) {
        return green;
    }
    return static_cast<std::uint32_t>(v);
}

} // namespace

Rgb parseColor(const std::optional<std::string>& text, std::string_view fallback) {
    std::string_view t = (!text || *text == "accent") ? fallback : std::string_view(*text);
    std::uint32_t v = parseValue(t);
    return {static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
            static_cast<int>(v & 0xFF)};
}

std::optional<JumpRecipe> choose(const std::optional<File>& file, const std::string& jumpId) {
    if (jumpId == "off" || !file) {
        return std::nullopt;
    }
    for (const std::string* want : {&jumpId, &file->defaultId}) {
        for (const JumpRecipe& r : file->recipes) {
            if (r.id == *want) {
                return r;
            }
        }
    }
    return std::nullopt;
}

} // namespace helm::Jumps
