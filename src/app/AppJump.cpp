#include "app/App.h"
#include "app/Log.h"
#include "overlays/draw/JumpsLoad.h"

namespace helm {

std::optional<Jumps::File> App::loadJumps() {
    std::string why;
    std::optional<Jumps::File> file = Jumps::load(std::nullopt, &why);
    if (!file) {
        // Without recipes no effect plays and the pointer is warped without a glide.
        log("jumps: no recipes (" + why + ")");
    }
    return file;
}

std::optional<JumpRecipe> App::jump() const {
    return Jumps::choose(jumps, prefs.jumpId());
}

} // namespace helm
