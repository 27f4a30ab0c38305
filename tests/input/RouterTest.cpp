#include "input/Router.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

using namespace helm;

namespace {

using Effects = Router::Effects;
using Op = std::function<Effects(Router&)>;

const std::string home = "mac/0";
const std::string a = "pc/a/0";
const std::string b = "mac/1";

Router::Effect keysMove(const std::string& from, const std::string& to) {
    return Router::Effect::keys(from, to);
}
Router::Effect mouseMove(const std::string& from, const std::string& to) {
    return Router::Effect::mouse(from, to);
}

Op look(std::string id) {
    return [id](Router& r) { return r.look(id, 1.0); };
}
Op keyDown(int code) {
    return [code](Router& r) {
        r.keyDown(code, 1.0);
        return Effects{};
    };
}
Op keyUp(int code) {
    return [code](Router& r) {
        r.keyUp(code, 1.0);
        return Effects{};
    };
}
Op buttonDown(int n) {
    return [n](Router& r) { return r.button(n, true); };
}
Op buttonUp(int n) {
    return [n](Router& r) { return r.button(n, false); };
}
Op tick() {
    return [](Router& r) { return r.tick(2.0); };
}
Op toggleLock() {
    return [](Router& r) { return r.toggleLock(2.0); };
}
Op pause(bool value) {
    return [value](Router& r) {
        r.setPaused(value);
        return Effects{};
    };
}
Op lost(std::string id) {
    return [id](Router& r) { return r.lost(id); };
}
// The id handed over is the router's own field, as a caller reacting to the focus screen
// going away might pass it.
Op lostOwn(std::string Router::*field) {
    return [field](Router& r) { return r.lost(r.*field); };
}

struct Step {
    Op op;
    Effects expect;
};

struct End {
    std::string gaze;
    std::string keys;
    std::string mouse;
    std::optional<std::string> locked;
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    End end;
};

const Case cases[] = {
    {"look moves mouse then keys",
     {{look(a), {mouseMove(home, a), keysMove(home, a)}}},
     {a, a, a, std::nullopt}},
    {"second look at the same screen is silent",
     {{look(a), {mouseMove(home, a), keysMove(home, a)}}, {look(a), {}}},
     {a, a, a, std::nullopt}},
    {"look while paused changes nothing, not even the gaze",
     {{pause(true), {}}, {look(a), {}}, {pause(false), {}}, {tick(), {}}},
     {home, home, home, std::nullopt}},
    {"after resuming the next look moves focus",
     {{pause(true), {}},
      {look(a), {}},
      {pause(false), {}},
      {look(b), {mouseMove(home, b), keysMove(home, b)}}},
     {b, b, b, std::nullopt}},
    {"look while locked moves only the gaze; unlock follows it, mouse first",
     {{toggleLock(), {}},
      {look(a), {}},
      {tick(), {}},
      {toggleLock(), {mouseMove(home, a), keysMove(home, a)}}},
     {a, a, a, std::nullopt}},
    {"held key keeps keyboard focus; key up waits for the tick",
     {{keyDown(7), {}},
      {look(a), {mouseMove(home, a)}},
      {keyUp(7), {}},
      {tick(), {keysMove(home, a)}},
      {tick(), {}}},
     {a, a, a, std::nullopt}},
    {"keyboard focus waits for the last of several held keys",
     {{keyDown(7), {}},
      {keyDown(10056), {}},
      {look(a), {mouseMove(home, a)}},
      {keyUp(7), {}},
      {tick(), {}},
      {keyUp(10056), {}},
      {tick(), {keysMove(home, a)}}},
     {a, a, a, std::nullopt}},
    {"releasing a key that was never held still settles on the tick",
     {{keyUp(3), {}}, {tick(), {}}},
     {home, home, home, std::nullopt}},
    {"held button keeps mouse focus; its release moves it at once",
     {{buttonDown(0), {}}, {look(a), {keysMove(home, a)}}, {buttonUp(0), {mouseMove(home, a)}}},
     {a, a, a, std::nullopt}},
    {"mouse focus waits for the last of several held buttons",
     {{buttonDown(0), {}},
      {buttonDown(11), {}},
      {look(a), {keysMove(home, a)}},
      {buttonUp(0), {}},
      {tick(), {}},
      {buttonUp(11), {mouseMove(home, a)}}},
     {a, a, a, std::nullopt}},
    {"button down never moves focus, even with a move pending",
     {{keyDown(1), {}},
      {look(a), {mouseMove(home, a)}},
      {keyUp(1), {}},
      {buttonDown(0), {}},
      {tick(), {keysMove(home, a)}}},
     {a, a, a, std::nullopt}},
    {"locking while free emits nothing and locks on the keyboard screen",
     {{look(a), {mouseMove(home, a), keysMove(home, a)}},
      {toggleLock(), {}},
      {look(b), {}},
      {tick(), {}}},
     {b, a, a, a}},
    {"lock takes the keyboard screen even when the gaze moved on",
     {{keyDown(1), {}},
      {look(a), {mouseMove(home, a)}},
      {toggleLock(), {}},
      {tick(), {mouseMove(a, home)}},
      {keyUp(1), {}},
      {tick(), {}}},
     {a, home, home, home}},
    {"lock while the mouse is held back: release goes to the lock, not the gaze",
     {{buttonDown(0), {}},
      {look(a), {keysMove(home, a)}},
      {toggleLock(), {}},
      {look(b), {}},
      {buttonUp(0), {mouseMove(home, a)}}},
     {b, a, a, a}},
    {"unlock with a key held moves only the mouse until the key is released",
     {{look(a), {mouseMove(home, a), keysMove(home, a)}},
      {toggleLock(), {}},
      {look(b), {}},
      {keyDown(2), {}},
      {toggleLock(), {mouseMove(a, b)}},
      {keyUp(2), {}},
      {tick(), {keysMove(a, b)}}},
     {b, b, b, std::nullopt}},
    {"pause does not freeze a move already due",
     {{keyDown(1), {}},
      {look(a), {mouseMove(home, a)}},
      {pause(true), {}},
      {keyUp(1), {}},
      {tick(), {keysMove(home, a)}}},
     {a, a, a, std::nullopt}},
    {"lost of the screen holding both: keys then mouse, whatever is held",
     {{look(a), {mouseMove(home, a), keysMove(home, a)}},
      {keyDown(4), {}},
      {buttonDown(10), {}},
      {lost(a), {keysMove(a, home), mouseMove(a, home)}}},
     {home, home, home, std::nullopt}},
    {"lost empties both held sets",
     {{look(a), {mouseMove(home, a), keysMove(home, a)}},
      {keyDown(4), {}},
      {buttonDown(10), {}},
      {lost(a), {keysMove(a, home), mouseMove(a, home)}},
      {look(b), {mouseMove(home, b), keysMove(home, b)}}},
     {b, b, b, std::nullopt}},
    {"lost moves focus while paused",
     {{look(a), {mouseMove(home, a), keysMove(home, a)}},
      {pause(true), {}},
      {lost(a), {keysMove(a, home), mouseMove(a, home)}}},
     {home, home, home, std::nullopt}},
    {"lost of the locked screen clears the lock",
     {{look(a), {mouseMove(home, a), keysMove(home, a)}},
      {toggleLock(), {}},
      {lost(a), {keysMove(a, home), mouseMove(a, home)}},
      {look(b), {mouseMove(home, b), keysMove(home, b)}}},
     {b, b, b, std::nullopt}},
    {"lost of the keyboard screen named by the router's own field",
     {{look(a), {mouseMove(home, a), keysMove(home, a)}},
      {lostOwn(&Router::keys), {keysMove(a, home), mouseMove(a, home)}}},
     {home, home, home, std::nullopt}},
    {"lost of the gaze named by the router's own field",
     {{look(a), {mouseMove(home, a), keysMove(home, a)}},
      {toggleLock(), {}},
      {lostOwn(&Router::gaze), {keysMove(a, home), mouseMove(a, home)}}},
     {home, home, home, std::nullopt}},
    {"lost of a screen that only holds the mouse",
     {{keyDown(1), {}},
      {look(a), {mouseMove(home, a)}},
      {lost(a), {mouseMove(a, home)}},
      {tick(), {}}},
     {home, home, home, std::nullopt}},
    {"lost of a screen that holds neither focus still empties the held sets and sends the "
     "gaze home",
     {{look(a), {mouseMove(home, a), keysMove(home, a)}},
      {keyDown(1), {}},
      {buttonDown(0), {}},
      {look(b), {}},
      {lost(b), {}},
      {tick(), {mouseMove(a, home), keysMove(a, home)}}},
     {home, home, home, std::nullopt}},
    {"lost of an unknown screen changes nothing but the held sets",
     {{look(a), {mouseMove(home, a), keysMove(home, a)}},
      {toggleLock(), {}},
      {keyDown(1), {}},
      {lost(b), {}},
      {toggleLock(), {}},
      {look(b), {mouseMove(a, b), keysMove(a, b)}}},
     {b, b, b, std::nullopt}},
};

} // namespace

TEST(Router, Transitions) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Router router(home);
        for (std::size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "step " << i + 1);
            EXPECT_EQ(c.steps[i].op(router), c.steps[i].expect);
        }
        EXPECT_EQ(router.gaze, c.end.gaze);
        EXPECT_EQ(router.keys, c.end.keys);
        EXPECT_EQ(router.mouse, c.end.mouse);
        EXPECT_EQ(router.locked, c.end.locked);
        EXPECT_EQ(router.hub, home);
    }
}

TEST(Router, StartsHomeAndRecordsKeyTimes) {
    Router router(home);
    EXPECT_EQ(router.gaze, home);
    EXPECT_EQ(router.keys, home);
    EXPECT_EQ(router.mouse, home);
    EXPECT_FALSE(router.locked);
    EXPECT_FALSE(router.paused);
    EXPECT_EQ(router.lastKey, -1'000'000'000.0);
    EXPECT_TRUE(router.heldKeys.empty());

    router.keyDown(5, 12.5);
    EXPECT_EQ(router.lastKey, 12.5);
    EXPECT_EQ(router.heldKeys, std::set<int>{5});
    router.look(a, 20.0);
    router.tick(21.0);
    EXPECT_EQ(router.lastKey, 12.5); // only key events move it
    router.keyUp(5, 13.0);
    EXPECT_EQ(router.lastKey, 13.0);
    EXPECT_TRUE(router.heldKeys.empty());

    // The application swaps in a fresh router when it resets focus.
    static_assert(std::is_copy_assignable_v<Router>);
    router = Router(b);
    EXPECT_EQ(router.keys, b);
    EXPECT_EQ(router.hub, b);
}

TEST(Router, EffectsCompareByCaseAndIdsAndPrintReadably) {
    EXPECT_EQ(keysMove(a, b), keysMove(a, b));
    EXPECT_NE(keysMove(a, b), mouseMove(a, b));
    EXPECT_NE(keysMove(a, b), keysMove(b, a));
    EXPECT_NE(mouseMove(a, b), mouseMove(a, home));
    std::ostringstream out;
    out << mouseMove(home, a);
    EXPECT_EQ(out.str(), "mouse(from: mac/0, to: pc/a/0)");
    EXPECT_EQ(describe(keysMove(a, b)), "keys(from: pc/a/0, to: mac/1)");
}
