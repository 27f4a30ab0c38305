#include "app/App.h"
#include "app/Log.h"
#include "overlays/draw/JumpsLoad.h"
#include "platform/MediaClock.h"

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

bool App::reducedMotion() const {
    return platform_.reduceMotion && platform_.reduceMotion->reduced();
}

double App::glideNow() const {
    return glideClock ? glideClock() : mediaNow();
}

void App::glideStep(Jumps::Point p) {
    // The in-memory pointer of simulation mode and tests, or the desktop's.
    if (platform_.pointer) {
        platform_.pointer->postMove({p.x, p.y});
    }
}

void App::glide(const JumpRecipe::Motion& motion, double dur, Pointer::Point to,
                const std::string& dir, const Jumps::Rect& area) {
    glideTimer.start(motion, dur, {to.x, to.y}, dir, area);
}

void App::stopGlide() {
    glideTimer.stop();
}

void App::tryJump(const JumpRecipe& recipe) {
    Pointer* p = platform_.pointer.get();
    const std::optional<Pointer::Point> at = p ? p->location() : std::nullopt;
    if (!at) {
        return;
    }
    if (recipe.motion && platform_.displays) {
        for (const DisplayInfo& d : platform_.displays->displays()) {
            if (at->x >= d.x && at->x < d.x + d.w && at->y >= d.y && at->y < d.y + d.h) {
                // From the start of the path left of the pointer back to where it is.
                glide(*recipe.motion, recipe.dur, *at, "L", {d.x, d.y, d.w, d.h});
                break;
            }
        }
    }
    const std::optional<Screen> s = screen(router().mouse);
    overlays.arrival(QPointF(at->x, at->y), recipe.colored(prefs.jumpColor()), "L",
                     s ? s->number : 1, s ? s->computerName : std::string());
}

} // namespace helm
