// Carrying out the router's focus moves on this computer: the pointer, the PCs' warp lines and
// the hand-over of the clipboard.
#include "app/App.h"
#include "app/Log.h"
#include "link/Hub.h"
#include "link/Wire.h"
#include "overlays/JumpMotion.h"
#include "platform/MediaClock.h"

#include <algorithm>

namespace helm {

Pointer* App::pointer() const {
    return simOnly_ ? nullptr : platform_.pointer.get();
}

void App::post(const std::string& line, const std::string& pc) {
    if (postLine) {
        postLine(line, pc);
    } else {
        hub().post(line, pc);
    }
}

void App::apply(const Router::Effects& effects) {
    if (effects.empty()) {
        return;
    }
    for (const Router::Effect& e : effects) {
        if (e.kind == Router::Effect::Kind::mouse) {
            mouseMoved(e);
        } else {
            keysMoved(e);
        }
    }
    updateCaps();
    updateGrabs();
    refresh();
}

void App::mouseMoved(const Router::Effect& e) {
    const std::optional<Screen> to = screen(e.to);
    const std::optional<Screen> from = screen(e.from);
    if (to && to->computer && connected.contains(*to->computer)) {
        // Only a watching input layer can hand the mouse's motion to the PC.
        if (Pointer* p = pointer(); p && capturing) {
            p->setAttached(false);
        }
        if (prefs.mouseJump()) {
            const std::string dir =
                Jumps::direction(from ? &*from : nullptr, *to, layout_.rightSign);
            post(Wire::warp(to->display, dir, to->number, to->computerName), *to->computer);
        }
    } else {
        // Whatever the target, a pointer left detached would not follow the mouse.
        if (Pointer* p = pointer()) {
            p->setAttached(true);
        }
        if (to && to->local() && prefs.mouseJump()) {
            warpLocal(from, *to);
        }
    }
    if (to) {
        log("mouse → " + e.to);
    }
}

void App::keysMoved(const Router::Effect& e) {
    log("keys → " + e.to);
    const std::optional<Screen> from = screen(e.from);
    const std::optional<Screen> to = screen(e.to);
    const std::optional<std::string> fromPC = from ? from->computer : std::nullopt;
    const std::optional<std::string> toPC = to ? to->computer : std::nullopt;
    if (fromPC != toPC) {
        handOffClipboard(e.from, e.to);
    }
    if (to && !to->local() && !guide.firstSwitch()) {
        guide.setFirstSwitch(to->computerName);
    }
}

void App::warpLocal(const std::optional<Screen>& from, const Screen& to) {
    Pointer* p = pointer();
    if (p == nullptr || !platform_.displays || !to.local()) {
        return;
    }
    const std::vector<DisplayInfo> displays = platform_.displays->displays();
    if (to.display < 0 || static_cast<std::size_t>(to.display) >= displays.size()) {
        return;
    }
    const DisplayInfo& d = displays[static_cast<std::size_t>(to.display)];
    const std::optional<Pointer::Point> at = p->location();
    if (!at) {
        return;
    }
    auto inside = [&d](const Pointer::Point& q) {
        return q.x >= d.x && q.x < d.x + d.w && q.y >= d.y && q.y < d.y + d.h;
    };
    if (inside(*at)) {
        return;
    }
    if (from && from->local()) {
        lastCursor[from->id] = *at;
    }
    Pointer::Point landing{d.x + d.w / 2, d.y + d.h / 2};
    if (auto it = lastCursor.find(to.id); it != lastCursor.end() && inside(it->second)) {
        landing = it->second;
    }
    const std::optional<JumpRecipe> recipe = jump();
    const std::string dir = Jumps::direction(from ? &*from : nullptr, to, layout_.rightSign);
    if (recipe && recipe->motion && !reducedMotion()) {
        glide(*recipe->motion, recipe->dur, landing, dir, {d.x, d.y, d.w, d.h});
    } else {
        p->warp(landing);
    }
    if (recipe) {
        overlays.arrival(QPointF(landing.x, landing.y), recipe->colored(prefs.jumpColor()), dir,
                         to.number, to.computerName);
    }
}

void App::jumpTo(int number) {
    const auto& screens = layout_.screens;
    auto it = std::find_if(screens.begin(), screens.end(),
                           [number](const Screen& s) { return s.number == number; });
    if (it == screens.end()) {
        return;
    }
    const Screen s = *it;
    if (s.computer && !connected.contains(*s.computer)) {
        note("Screen " + std::to_string(number) + " (" + s.computerName + ") isn't connected.");
        return;
    }
    // Unlocked and moved in one settle: settling towards the screen looked at first would send
    // that screen's PC a warp and hand it the clipboard on the way.
    router().locked.reset();
    log("jump to " + std::to_string(number));
    lookAt(s.id, mediaNow(), true);
}

void App::toggleLock() {
    apply(router().toggleLock(mediaNow()));
    log("lock = " + router().locked.value_or("off"));
    refresh();
}

} // namespace helm
