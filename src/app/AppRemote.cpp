// Input from the PCs' own keyboards and mice: which PC drives the desk, its captures, and each
// of its keys, buttons, moves and wheel steps played here, relayed or dropped.
#include "app/App.h"
#include "app/DarkAlert.h"
#include "app/Log.h"
#include "input/KeyMap.h"
#include "link/Hub.h"
#include "link/Wire.h"
#include "platform/MediaClock.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <charconv>
#include <cmath>
#include <limits>
#include <sstream>

namespace helm {

namespace {

// The modifier flag each key gives the events posted while it is down.
std::uint64_t flagOf(int mac) {
    switch (mac) {
    case 55:
    case 54:
        return 0x100000;
    case 56:
    case 60:
        return 0x20000;
    case 58:
    case 61:
        return 0x80000;
    case 59:
    case 62:
        return 0x40000;
    case 57:
        return 0x10000;
    default:
        return 0;
    }
}

// A PC's numbers beyond these come from a broken or hostile agent, never from a hand.
constexpr std::int64_t maxKeyCode = 0xFFFF;
constexpr std::int64_t maxButton = 31;
constexpr std::int64_t maxDelta = 32'767;

std::vector<std::int64_t> numbers(const std::string& line) {
    std::vector<std::int64_t> out;
    std::istringstream in(line);
    for (std::string w; std::getline(in, w, ' ');) {
        std::int64_t v = 0;
        const char* end = w.data() + w.size();
        // An explicit plus sign reads as a decimal parse reads it.
        const char* begin = w.data() + (w.size() > 1 && w[0] == '+' && w[1] != '-' ? 1 : 0);
        auto [ptr, ec] = std::from_chars(begin, end, v);
        if (!w.empty() && ec == std::errc() && ptr == end) {
            out.push_back(v);
        }
    }
    return out;
}

bool within(std::int64_t v, std::int64_t lo, std::int64_t hi) {
    return v >= lo && v <= hi;
}

} // namespace

void App::remoteActivity(const std::string& pc) {
    // Only a connected PC can be captured and handed back: any other would keep the desk.
    if (!prefs.allInputs() || source == pc || !connected.contains(pc) || !allowsInput(pc)) {
        return;
    }
    source = pc;
    log("input source → " + pc);
    updateCaps();
}

bool App::allowsInput(const std::string& pc) {
    const std::vector<std::string>& allowed = prefs.allowedPCs();
    if (simOnly_ || std::find(allowed.begin(), allowed.end(), pc) != allowed.end()) {
        return true;
    }
    if (askedInput.contains(pc)) {
        return false;
    }
    askedInput.insert(pc);
    std::string name = pc;
    for (const Screen& s : layout_.screens) {
        if (s.computer == pc) {
            name = s.computerName;
            break;
        }
    }
    if (askInput) {
        askInput(pc, name);
        return false;
    }
    // Never a nested event loop: the question waits while input and the link carry on.
    QTimer::singleShot(0, [this, pc, name, alive = std::weak_ptr<int>(alive_)] {
        if (alive.expired()) {
            return;
        }
        auto* box = new QMessageBox();
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setIcon(QMessageBox::Question);
        box->setText(
            QString::fromStdString("Let " + name + "'s keyboard and mouse control this computer?"));
        box->setInformativeText(QString::fromStdString(
            "Someone typed or moved the mouse on " + name +
            ". If you allow it, its keyboard and mouse work on whichever screen you look at, "
            "including this computer's."));
        QPushButton* allow = box->addButton(QStringLiteral("Allow"), QMessageBox::AcceptRole);
        box->addButton(QStringLiteral("Not now"), QMessageBox::RejectRole);
        box->setDefaultButton(allow);
        darkAlert(*box);
        QObject::connect(box, &QMessageBox::finished, box, [this, box, allow, pc, alive] {
            if (!alive.expired() && box->clickedButton() == allow) {
                inputAllowed(pc);
            }
        });
        box->open();
        box->raise();
        box->activateWindow();
    });
    return false;
}

void App::inputAllowed(const std::string& pc) {
    std::vector<std::string> allowed = prefs.allowedPCs();
    if (std::find(allowed.begin(), allowed.end(), pc) == allowed.end()) {
        allowed.push_back(pc);
        prefs.setAllowedPCs(allowed);
    }
    askedInput.erase(pc);
    log(pc + " may control this Mac");
}

void App::macInputUsed() {
    if (!source) {
        return;
    }
    const std::string was = *source;
    source.reset();
    log("input source → this Mac (was " + was + ")");
    updateCaps();
}

void App::updateCaps() {
    const std::optional<Screen> keys = screen(router().keys);
    if (keys && keys->computer) {
        capOff.erase(*keys->computer);
    }
    std::vector<std::string> ended;
    for (const std::string& p : connected) {
        const bool should = prefs.allInputs() && source == p && !capOff.contains(p) &&
                            !(keys && keys->computer == p);
        if (should && !capped.contains(p)) {
            post("cap 1 " + name(router().keys), p);
            capped.insert(p);
            log(p + ": its keyboard and mouse → " + router().keys);
        } else if (!should && capped.contains(p)) {
            post("cap 0", p);
            capped.erase(p);
            releaseInjected(p); // the capture's keys must not outlive it
            log(p + ": its keyboard and mouse stay on it");
            ended.push_back(p);
        }
    }
    for (auto it = capped.begin(); it != capped.end();) {
        it = connected.contains(*it) ? std::next(it) : capped.erase(it);
    }
    updateMoveRoute();
    // Last: a released button may move focus, which comes back here.
    for (const std::string& p : ended) {
        releaseRouterHeld(p);
    }
}

void App::capTakenBack(const std::string& pc) {
    capOff.insert(pc);
    capped.erase(pc);
    releaseInjected(pc);
    log(pc + " took its input back (hotkey)");
    updateCaps();
    releaseRouterHeld(pc);
}

void App::releaseRouterHeld(const std::string& pc) {
    auto it = routerHeld.find(pc);
    if (it == routerHeld.end()) {
        return;
    }
    const Held held = std::move(it->second);
    routerHeld.erase(it);
    // Their releases will never come: focus would stop following the look until unstick.
    const double t = mediaNow();
    for (int key : held.keys) {
        router().keyUp(key + 10000, t);
    }
    Router::Effects effects;
    for (int button : held.buttons) {
        for (const Router::Effect& e : router().button(button + 10, false)) {
            effects.push_back(e);
        }
    }
    apply(effects);
}

void App::releaseInjected(const std::string& pc) {
    auto it = injected.find(pc);
    if (it == injected.end()) {
        return;
    }
    const Held held = it->second;
    for (int key : held.keys) {
        typeOnMac(pc, key, false);
    }
    for (int button : held.buttons) {
        clickOnMac(pc, button, false);
    }
    injected.erase(pc);
    updateMacFlags();
}

void App::releaseAllInjected() {
    std::vector<std::string> pcs;
    for (const auto& [pc, held] : injected) {
        pcs.push_back(pc);
    }
    for (const std::string& pc : pcs) {
        releaseInjected(pc);
    }
}

void App::remoteInput(const std::string& pc, const std::string& line) {
    if (!prefs.allInputs() || !capped.contains(pc) || line.empty()) {
        return;
    }
    const std::vector<std::int64_t> nums = numbers(line);
    const double t = mediaNow();
    // Relays the line unchanged; false when it is to be played here.
    auto relay = [&](const std::optional<std::string>& target) {
        if (target && *target != pc) {
            post(line, *target);
        }
        return target.has_value();
    };
    switch (line[0]) {
    case 'k': {
        if (nums.size() < 2 || !within(nums[0], 0, maxKeyCode)) {
            return;
        }
        const int code = static_cast<int>(nums[0]);
        const bool down = nums[1] == 1;
        if (down) {
            router().keyDown(code + 10000, t);
            routerHeld[pc].keys.insert(code);
        } else {
            router().keyUp(code + 10000, t);
            routerHeld[pc].keys.erase(code);
        }
        if (!relay(agentName(router().keys))) {
            typeOnMac(pc, code, down);
        }
        break;
    }
    case 'b': {
        if (nums.size() < 2 || !within(nums[0], 0, maxButton)) {
            return;
        }
        const int number = static_cast<int>(nums[0]);
        const bool down = nums[1] == 1;
        if (down) {
            routerHeld[pc].buttons.insert(number);
        } else {
            routerHeld[pc].buttons.erase(number);
        }
        apply(router().button(number + 10, down));
        if (!relay(agentName(router().mouse))) {
            clickOnMac(pc, number, down);
        }
        updateMoveRoute();
        break;
    }
    case 'm':
        if (nums.size() < 2 || !within(nums[0], -maxDelta, maxDelta) ||
            !within(nums[1], -maxDelta, maxDelta)) {
            return;
        }
        if (!relay(agentName(router().mouse))) {
            moveOnMac(nums[0], nums[1]);
        }
        break;
    case 'w':
        if (nums.size() != 2 || !within(nums[0], -maxDelta, maxDelta) ||
            !within(nums[1], -maxDelta, maxDelta)) {
            return;
        }
        if (!relay(agentName(router().mouse))) {
            scrollOnMac(nums[0], nums[1]);
        }
        break;
    default:
        break;
    }
}

void App::updateMacFlags() {
    std::uint64_t flags = 0;
    for (const auto& [pc, held] : injected) {
        for (int key : held.keys) {
            if (std::optional<int> mac = KeyMap::mac(key, iso)) {
                flags |= flagOf(*mac);
            }
        }
    }
    macFlags = flags;
}

void App::typeOnMac(const std::string& pc, int scan, bool down) {
    Held& held = injected[pc];
    if (down) {
        held.keys.insert(scan);
    } else {
        held.keys.erase(scan);
    }
    const std::optional<int> mac = KeyMap::mac(scan, iso);
    if (!mac) {
        return;
    }
    // A flag stays while any key giving it is held, whichever PC holds it.
    updateMacFlags();
    if (simOnly_) {
        injectLog.push_back("key " + std::to_string(*mac) + (down ? " 1" : " 0"));
        return;
    }
    // XTest events carry no flags of their own: a modifier acts because its key is down.
    if (platform_.input) {
        platform_.input->postKey(*mac, down);
    }
}

void App::clickOnMac(const std::string& pc, int button, bool down) {
    Held& held = injected[pc];
    if (down) {
        held.buttons.insert(button);
    } else {
        held.buttons.erase(button);
    }
    if (simOnly_) {
        injectLog.push_back("button " + std::to_string(button) + (down ? " 1" : " 0"));
        return;
    }
    if (platform_.input) {
        platform_.input->postButton(button <= 1 ? button : 2, down);
    }
}

MoveRoute::Bounds App::macBounds() const {
    MoveRoute::Bounds b;
    bool first = true;
    if (platform_.displays) {
        for (const DisplayInfo& d : platform_.displays->displays()) {
            if (first) {
                b = {d.x, d.y, d.x + d.w, d.y + d.h};
                first = false;
            } else {
                b = {std::min(b.minX, d.x), std::min(b.minY, d.y), std::max(b.maxX, d.x + d.w),
                     std::max(b.maxY, d.y + d.h)};
            }
        }
    }
    return b;
}

void App::moveOnMac(std::int64_t dx, std::int64_t dy) {
    if (simOnly_) {
        injectLog.push_back("move " + std::to_string(dx) + " " + std::to_string(dy));
        return;
    }
    if (!platform_.input) {
        return;
    }
    const MoveRoute::Bounds box = macBounds();
    Pointer::Point at{box.midX(), box.midY()};
    if (Pointer* p = pointer()) {
        at = p->location().value_or(at);
    }
    auto [x, y] = box.moved(at.x, at.y, double(dx), double(dy));
    platform_.input->postMotion(x, y);
}

void App::scrollOnMac(std::int64_t dy, std::int64_t dx) {
    if (simOnly_) {
        injectLog.push_back("wheel " + std::to_string(dy) + " " + std::to_string(dx));
        return;
    }
    if (platform_.input) {
        // Wheel units to points; std::round takes halves away from zero.
        const double y = std::round(double(dy) / WheelAccumulator::unitsPerPoint);
        const double x = std::round(double(dx) / WheelAccumulator::unitsPerPoint);
        platform_.input->postScroll(y, x);
    }
}

void App::updateMoveRoute() {
    if (!source || !capped.contains(*source) || simOnly_) {
        moveRoute.set(std::nullopt);
        return;
    }
    MoveRoute r;
    r.pc = *source;
    const std::optional<std::string> a = agentName(router().mouse);
    r.toMac = !a;
    if (a && *a != *source) {
        r.agent = a;
    }
    r.bounds = macBounds();
    for (const auto& [pc, held] : injected) {
        r.drag = r.drag || held.buttons.contains(0);
    }
    moveRoute.set(std::move(r));
}

bool App::fastMove(const std::string& pc, std::int64_t dx, std::int64_t dy) {
    const std::optional<MoveRoute> r = moveRoute.get();
    if (!r || r->pc != pc) {
        return false;
    }
    if (!within(dx, -maxDelta, maxDelta) || !within(dy, -maxDelta, maxDelta)) {
        return true; // dropped here, as the main thread's road would drop it
    }
    if (r->toMac) {
        if (PointerPoster* poster = platform_.poster.get()) {
            Pointer::Point at =
                poster->location().value_or(Pointer::Point{r->bounds.midX(), r->bounds.midY()});
            auto [x, y] = r->bounds.moved(at.x, at.y, double(dx), double(dy));
            poster->moveTo({x, y});
        }
        return true;
    }
    if (r->agent && hub_) {
        hub_->sendOnQueue(Wire::move(dx, dy), *r->agent);
    }
    return true;
}

void App::sourceLost(const std::string& pc) {
    capped.erase(pc);
    capOff.erase(pc);
    releaseInjected(pc);
    if (source != pc) {
        updateMoveRoute();
        releaseRouterHeld(pc);
        return;
    }
    routerHeld.clear(); // the new state machine below holds nothing
    source.reset();
    for (const std::string& other : connected) {
        post(Wire::release, other);
    }
    sentKeys.clear(); // the release let go of them all
    sentButtons.clear();
    router_.reset();
    router();
    if (!followEyes) {
        router().setPaused(true);
    }
    // The pointer may have been held still for the lost PC.
    if (Pointer* p = pointer()) {
        p->setAttached(true);
    }
    updateMoveRoute();
}

} // namespace helm
