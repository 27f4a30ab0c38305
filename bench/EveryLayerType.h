#pragma once
// The heaviest effect the drawing can be asked for: every layer type stacked, with the drawn
// pointer and its shadow. Heavier than any recipe in the built-in file.
#include "overlays/JumpRecipe.h"

namespace helm::bench {

inline JumpRecipe everyLayerType() {
    JumpRecipe r;
    r.id = "stack";
    r.dur = 0.8;
    for (const char* t : {"dim", "scan", "beam", "cross", "ring", "glow", "particles", "orbit",
                          "poly", "radar", "brackets", "trail", "spiral", "portals", "tag"}) {
        JumpRecipe::Layer l;
        l.type = t;
        r.layers.push_back(l);
    }
    r.pointer = JumpRecipe::Pointer{0.5, -40.0, true, true};
    return r;
}

} // namespace helm::bench
