#pragma once

#include "desk/Json.h"

#include <optional>
#include <string>
#include <vector>

namespace helm {

// One jump effect as the recipe file describes it: how long it plays, the layers drawn at the
// landing point, and optionally a drawn pointer (the ghost) and the path the real pointer
// travels. Every optional field left out of the file stays absent here, so a recipe written
// back for the PCs carries exactly what it was read with; defaults are applied when drawing.
//
// Lengths are points at scale 1, angles degrees, times (t0, t1) fractions of `dur`, opacities
// 0 to 1, colours "#RRGGBB" or "accent" (the user's chosen colour). Counts (count, n, sides)
// stay numbers here, as written.
struct JumpRecipe {
    struct Pointer {
        std::optional<double> scale0; // arrow size at the start (1)
        std::optional<double> dy0;    // vertical offset at the start, negative is above (0)
        std::optional<bool> spring;   // "spring" easing instead of "out"
        std::optional<bool> shadow;   // a ground shadow under the arrow

        friend bool operator==(const Pointer&, const Pointer&) = default;
    };

    struct Motion {
        std::string path;           // "glide", "slingshot", "spiral", "bounce", "wiggle", …
        std::optional<double> dist; // from the landing point to the start (220)
        std::optional<double> lift; // height of the arch (40)

        friend bool operator==(const Motion&, const Motion&) = default;
    };

    // One drawing layer; which fields a type reads, and their defaults, belong to drawing.
    struct Layer {
        std::string type;
        std::optional<double> t0;
        std::optional<double> t1;
        std::optional<double> a0;
        std::optional<double> a1;
        std::optional<double> width;
        std::optional<std::string> ease;
        std::optional<std::string> color;
        std::optional<bool> bell;
        std::optional<bool> dash;
        std::optional<bool> spring; // kept and written back; nothing draws it
        std::optional<double> r0;
        std::optional<double> r1;
        std::optional<double> stagger;
        std::optional<double> spin;
        std::optional<double> count;
        std::optional<double> n;
        std::optional<double> d0;
        std::optional<double> d1;
        std::optional<double> s0;
        std::optional<double> s1;
        std::optional<double> phase;
        std::optional<double> turns;
        std::optional<double> s;
        std::optional<double> sides;
        std::optional<double> rot0;
        std::optional<double> rot1;
        std::optional<double> r;
        std::optional<double> tail;
        std::optional<double> len;
        std::optional<double> w0;
        std::optional<double> w1;
        std::optional<double> a;
        std::optional<double> h0;
        std::optional<double> h1;
        std::optional<double> dist;
        std::optional<double> lift;
        std::optional<double> dy;
        std::optional<std::string> shape;
        std::optional<std::string> style;
        std::optional<std::string> text;
        std::optional<std::vector<std::string>> colors;

        friend bool operator==(const Layer&, const Layer&) = default;
    };

    std::string id;
    std::string name;
    double dur = 0;            // seconds
    std::vector<Layer> layers; // first drawn lowest
    std::optional<Pointer> pointer;
    std::optional<Motion> motion;

    friend bool operator==(const JumpRecipe&, const JumpRecipe&) = default;

    // A copy painted in the given colour: a layer colour that is absent or "accent" becomes
    // hex, and so does every "accent" in a colour list; fixed colours stay.
    JumpRecipe colored(const std::string& hex) const;

    // The recipe as one JSON object, absent fields left out (the body of the PCs' jump line).
    // Throws json::EncodeError for a number that is not finite.
    json::Json toJson() const;
    // Strict: a missing required key or any value of the wrong type throws json::DecodeError;
    // a missing or null optional is absent; unknown keys are ignored.
    static JumpRecipe fromJson(const json::Json& j);
};

} // namespace helm
