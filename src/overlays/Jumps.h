#pragma once

#include "overlays/JumpRecipe.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The recipe file, colours and recipe choice. The motion maths of the same namespace live in
// JumpMotion.h; reading the bundled file needs Qt and lives in draw/JumpsLoad.h.
namespace helm::Jumps {

// The recipe file: the recipe to fall back on and every recipe, in the order they are listed.
struct File {
    std::string defaultId; // "default" in the file
    std::vector<JumpRecipe> recipes;

    friend bool operator==(const File&, const File&) = default;

    json::Json toJson() const;
    // Strict, like the recipes it holds: one wrong value anywhere fails the whole file.
    static File fromJson(const json::Json& j);
};

// The file from its bytes, or nothing when it is not a readable recipe file; why, when given,
// receives the reason.
std::optional<File> decode(std::string_view bytes, std::string* why = nullptr);

// The colour choices offered to the user.
struct Swatch {
    const char* name;
    const char* hex;
};
inline constexpr std::array<Swatch, 6> colors{{{"Green", "#30D158"},
                                               {"Blue", "#5A9DFF"},
                                               {"Purple", "#B884FF"},
                                               {"Pink", "#FF6FA8"},
                                               {"Orange", "#FF9F0A"},
                                               {"White", "#FFFFFF"}}};

// An opaque sRGB colour, 0 to 255 per channel.
struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Parses "#RRGGBB" (the mark optional, any case). Absent or "accent" takes the fallback text
// instead. The digits are read as one unsigned 32-bit number whose low 24 bits are the
// colour, so a leading byte is ignored; anything unreadable is green 0x30D158.
Rgb parseColor(const std::optional<std::string>& text, std::string_view fallback);

// The recipe in force for the preference jumpId: none for "off" or without a file; else the
// first recipe with that id, failing that the first with the file's default id, or none.
std::optional<JumpRecipe> choose(const std::optional<File>& file, const std::string& jumpId);

} // namespace helm::Jumps
