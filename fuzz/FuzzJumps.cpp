// A recipe file given with a path comes from outside the program; a recipe read back must
// write out and read in again as the same recipe, since the PCs receive what we write.
#include "overlays/Jumps.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto file = helm::Jumps::decode(text);
    if (!file) {
        return 0;
    }
    // Text nested too deep to copy safely is never taken, wherever the nesting sits.
    if (helm::json::nestsDeeperThan(text, helm::json::maxDepth)) {
        std::abort();
    }
    for (const helm::JumpRecipe& r : file->recipes) {
        std::string text = helm::json::dump(r.toJson());
        if (!(helm::JumpRecipe::fromJson(helm::json::parse(text)) == r)) {
            std::abort();
        }
        helm::JumpRecipe c = r.colored("#FF9F0A");
        for (const auto& l : c.layers) {
            if (!l.color || *l.color == "accent") {
                std::abort();
            }
        }
    }
    auto again = helm::Jumps::decode(helm::json::dump(file->toJson()));
    if (!again || !(*again == *file)) {
        std::abort();
    }
    return 0;
}
