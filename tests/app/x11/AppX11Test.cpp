// A PC's input played on this computer, and the desktop's clipboard handed over, through the X
// server: Xvfb, started for the run.
#include "AppFixture.h"
#include "link/Wire.h"
#include "platform/SerialQueue.h"
#include "platform/qt/QtPasteboard.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/x11/X11ClipboardReader.h"
#include "platform/x11/X11Input.h"
#include "platform/x11/X11PointerPoster.h"
#include "windows/SettingsModel.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

// Xlib's macros clash with other headers' names: X headers come last.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace helm;

namespace {

struct AppX11Test : ::testing::Test, test::AppFixture {
    Display* dpy = XOpenDisplay(nullptr);
    InputService* input = nullptr; // the last desk's
    ~AppX11Test() override {
        if (dpy) {
            XCloseDisplay(dpy);
        }
    }

    // This computer with one 1280×1024 display (Xvfb's) and the connected PC "pc1", which
    // is allowed to drive it.
    std::unique_ptr<App> desk(Platform p = simPlatform()) {
        // Taken hotkeys are tried again quickly here: the tests wait for it.
        p.input = X11Input::open(
            "", [](const std::string& line) { helm::log(line); }, std::chrono::milliseconds(100));
        input = p.input.get();
        p.poster = std::make_unique<X11PointerPoster>();
        DisplayInfo d;
        d.w = 1280;
        d.h = 1024;
        p.displays = std::make_unique<FakeDisplaySource>(std::vector<DisplayInfo>{d});
        auto app = make({"--no-camera"}, std::move(p));
        helm::Screen mac, pc;
        mac.id = "mac/a";
        mac.number = 1;
        pc.id = "pc1/x";
        pc.number = 2;
        pc.computer = "pc1";
        Layout l;
        l.screens = {mac, pc};
        app->setLayout(l);
        app->connected = {"pc1"};
        app->postLine = [](const std::string&, const std::string&) {};
        app->prefs.setAllowedPCs({"pc1"});
        return app;
    }
    // A window of another client that has the keyboard focus.
    void focusWindow() {
        Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 200, 200, 0, 0, 0);
        XSelectInput(dpy, w, KeyPressMask);
        XMapRaised(dpy, w);
        XSync(dpy, False);
        XSetInputFocus(dpy, w, RevertToParent, CurrentTime);
        XSync(dpy, False);
    }
    // The keys that window was typed, gathered until done says so or ms have passed.
    std::vector<KeySym> typed(const std::function<bool(const std::vector<KeySym>&)>& done,
                              int ms = 2000) {
        std::vector<KeySym> keys;
        QElapsedTimer clock;
        clock.start();
        while (!done(keys) && clock.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            XSync(dpy, False);
            while (XPending(dpy)) {
                XEvent ev;
                XNextEvent(dpy, &ev);
                if (ev.type == KeyPress) {
                    keys.push_back(XLookupKeysym(&ev.xkey, 0));
                }
            }
        }
        return keys;
    }
    // The desk watching this computer's input, with focus here or on pc1, whose lines it keeps.
    std::unique_ptr<App> watching(bool onPC) {
        auto app = desk();
        app->postLine = [this](const std::string& line, const std::string&) {
            sent.push_back(line);
        };
        app->installTap(false);
        if (onPC) {
            app->lookAt("pc1/x", 0, true);
            typed([&](const auto&) { return input->keyboardGrabbed(); });
        }
        return app;
    }
    // Each key goes down, or up when it is down; ms of events are handled after each. Answers
    // what the focused window was typed.
    std::vector<KeySym> keys(const std::vector<KeySym>& syms, int ms = 50) {
        std::vector<KeySym> got;
        for (KeySym sym : syms) {
            const bool press = down.erase(sym) == 0;
            if (press) {
                down.insert(sym);
            }
            XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, sym), press, CurrentTime);
            XSync(dpy, False);
            std::vector<KeySym> more = typed([](const auto&) { return false; }, ms);
            got.insert(got.end(), more.begin(), more.end());
        }
        return got;
    }
    std::vector<std::string> sent;
    std::set<KeySym> down;
};

TEST_F(AppX11Test, APCsKeyReachesTheFocusedWindow) {
    ASSERT_TRUE(dpy);
    focusWindow();
    auto app = desk();
    app->typeOnMac("pc1", 0x1E, true); // the PC's A
    app->typeOnMac("pc1", 0x1E, false);
    EXPECT_EQ(typed([](const auto& keys) { return !keys.empty(); }), std::vector<KeySym>{XK_a});
}

// Super+Alt+L typed through XTest by another program is the user's hotkey; the same keys
// played here from pc1's keyboard are our own posts and reach the focused window as keys.
TEST_F(AppX11Test, AHotkeyFromAnotherProgramsXTestLocksAndOursPassesAsKeys) {
    ASSERT_TRUE(dpy);
    focusWindow();
    auto app = desk();
    app->installTap(false);
    const KeySym syms[] = {XK_Super_L, XK_Alt_L, XK_l};
    const int scans[] = {0xE05B, 0x38, 0x26}; // the PC's left Windows key, left Alt and L
    for (bool ours : {false, true}) {
        SCOPED_TRACE(ours ? "pc1's keys" : "another program's");
        app->router().locked.reset();
        auto key = [&](int i, bool down) {
            if (ours) {
                app->typeOnMac("pc1", scans[i], down);
            } else {
                XTestFakeKeyEvent(dpy, XKeysymToKeycode(dpy, syms[i]), down, CurrentTime);
            }
        };
        for (int i : {0, 1, 2, -3, -2, -1}) {
            key(i < 0 ? -i - 1 : i, i >= 0);
        }
        // Ours must not lock, however long it is given: it has a while to do so.
        std::vector<KeySym> keys =
            typed([&](const auto&) { return app->router().locked.has_value(); }, ours ? 300 : 2000);
        EXPECT_EQ(app->router().locked.has_value(), !ours);
        EXPECT_EQ(std::count(keys.begin(), keys.end(), XK_l), ours ? 1 : 0);
    }
}

// A hotkey held past the keyboard's repeat delay toggles once; its repeats are swallowed.
TEST_F(AppX11Test, AHeldHotkeyTogglesOncePerPress) {
    ASSERT_TRUE(dpy);
    focusWindow();
    auto app = watching(false);
    keys({XK_Super_L, XK_Alt_L});
    keys({XK_l}, 1500); // the server repeats L meanwhile
    EXPECT_TRUE(keys({XK_l, XK_Alt_L, XK_Super_L}).empty());
    EXPECT_EQ(countLogged("lock = "), 1);
}

// Super+Alt+1 pressed while focus is on pc1 jumps home: the pointer grab goes and the modifiers
// come up between the digit's press and its release, in either order; pc1 never hears of 1.
TEST_F(AppX11Test, TheReleaseOfASwallowedHotkeyIsSwallowedWhateverTheGrabsDo) {
    ASSERT_TRUE(dpy);
    for (const auto& order :
         {std::vector<KeySym>{XK_Super_L, XK_Alt_L, XK_1, XK_Alt_L, XK_Super_L, XK_1},
          std::vector<KeySym>{XK_Super_L, XK_Alt_L, XK_1, XK_1, XK_Alt_L, XK_Super_L}}) {
        sent.clear();
        auto app = watching(true);
        keys(order, 100);
        EXPECT_FALSE(input->pointerGrabbed()) << "the mouse went home at once";
        EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                                [](const std::string& l) { return l.starts_with("k 2 "); }),
                  0);
    }
}

// A lock key typed while focus is on pc1 toggles pc1's lock and leaves this computer's as it
// was, on or off.
TEST_F(AppX11Test, ALockKeyForwardedToAPCLeavesThisComputersLockAlone) {
    ASSERT_TRUE(dpy);
    struct Case {
        KeySym key;
        unsigned mask, before; // its lock here
        const char* release;   // pc1's line for the key's release
    };
    for (const Case& c : {Case{XK_Caps_Lock, LockMask, 0, "k 58 0"},
                          Case{XK_Num_Lock, Mod2Mask, Mod2Mask, "k 69 0"}}) {
        SCOPED_TRACE(c.release);
        XkbLockModifiers(dpy, XkbUseCoreKbd, c.mask, c.before);
        XSync(dpy, False);
        auto app = watching(true);
        keys({c.key, c.key});
        XkbStateRec state{};
        typed([&](const auto&) {
            XkbGetState(dpy, XkbUseCoreKbd, &state);
            return (state.locked_mods & c.mask) == c.before &&
                   std::count(sent.begin(), sent.end(), c.release) == 1;
        });
        EXPECT_EQ(std::count(sent.begin(), sent.end(), c.release), 1);
        EXPECT_EQ(state.locked_mods & c.mask, c.before);
        XkbLockModifiers(dpy, XkbUseCoreKbd, c.mask, 0);
    }
}

// Another client holds Super+Alt+L: the user is told once, and its press is that client's alone.
// Once the client quits, the combination is ours, and L no longer reaches the focused window.
TEST_F(AppX11Test, AHotkeyAnotherClientHoldsIsLeftToItUntilItQuits) {
    ASSERT_TRUE(dpy);
    Display* holder = XOpenDisplay(nullptr);
    XGrabKey(holder, XKeysymToKeycode(holder, XK_l), Mod4Mask | Mod1Mask, DefaultRootWindow(holder),
             False, GrabModeAsync, GrabModeAsync);
    XSync(holder, False);
    focusWindow();
    auto app = watching(false);
    const std::vector<KeySym> hotkey = {XK_Super_L, XK_Alt_L, XK_l, XK_l, XK_Alt_L, XK_Super_L};
    keys(hotkey);
    const std::string told = "Another program holds Super+Alt+L, so Helmvantor leaves it to that "
                             "program. Helmvantor takes it as soon as it's free.";
    EXPECT_EQ(app->hud.note(), told);
    EXPECT_EQ(app->settings().hotkeysMessage(), told);
    EXPECT_EQ(countLogged("lock = "), 0) << "the holder's press";
    XCloseDisplay(holder);
    typed([&](const auto&) { return input->takenHotkeys().empty(); });
    EXPECT_FALSE(app->settings().hotkeysMessage());
    const std::vector<KeySym> got = keys(hotkey);
    EXPECT_EQ(std::count(got.begin(), got.end(), XK_l), 0) << "L is ours again";
    typed([&](const auto&) { return countLogged("lock = ") > 0; });
    EXPECT_EQ(countLogged("lock = "), 1);
    EXPECT_EQ(countLogged("hotkey taken: Super+Alt+L"), 1) << "however often it was tried";
}

TEST_F(AppX11Test, FastRoadMovesThePointerFromTheLinksThread) {
    ASSERT_TRUE(dpy);
    auto app = desk();
    app->lookAt("mac/a", 0, true);
    app->remoteActivity("pc1");
    ASSERT_TRUE(app->moveRoute.get());
    XWarpPointer(dpy, None, DefaultRootWindow(dpy), 0, 0, 0, 0, 100, 100);
    XSync(dpy, False);
    SerialQueue link("pivmor.hub");
    bool handled = false;
    link.sync([&] {
        handled = app->fastMove("pc1", 10, 20);
        handled = handled && app->fastMove("pc1", 5000, 0); // stops inside the display
    });
    EXPECT_TRUE(handled);
    Window root = 0, child = 0;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    QElapsedTimer clock;
    clock.start();
    do { // the other connection's moves reach the server on their own time
        XQueryPointer(dpy, DefaultRootWindow(dpy), &root, &child, &x, &y, &wx, &wy, &mask);
    } while (x != 1279 && clock.elapsed() < 1000);
    EXPECT_EQ(x, 1279);
    EXPECT_EQ(y, 120);
}

// Another program holds a large picture when focus goes to pc1 and comes straight back: reading
// it takes a while, and pc1 is asked for its clipboard only once the picture is out, so what
// comes back is the user's picture, not what pc1 had before.
TEST_F(AppX11Test, AQuickLookBackKeepsThePictureAnotherProgramHoldsOnTheClipboard) {
    ASSERT_TRUE(dpy);
    QTemporaryDir dir;
    const QString file = dir.path() + "/copied.png";
    QImage picture(4200, 4200, QImage::Format_RGB888);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(file, "PNG", 100)); // stored uncompressed: about 53 MB
    picture = QImage();
    QFile in(file);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray png = in.readAll();
    Platform p = simPlatform();
    p.pasteboard = std::make_unique<QtPasteboard>(
        [](std::uint64_t most) { return std::make_shared<X11ClipboardReader>(most); });
    auto app = desk(std::move(p));
    Pasteboard& pb = app->pasteboard();
    const long empty = pb.changeCount();
    QProcess holder;
    holder.start("xclip", {"-quiet", "-selection", "clipboard", "-t", "image/png", "-i", file});
    ASSERT_TRUE(holder.waitForStarted()) << "xclip is needed: scripts/deps.sh installs it";
    QElapsedTimer clock;
    clock.start();
    while (pb.changeCount() == empty && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const long copied = pb.changeCount();
    ASSERT_NE(copied, empty);
    // pc1 keeps the last clip it was sent and answers an ask with it.
    std::string onPC = Wire::setClip(Clip::text("pc1's old clipboard"));
    std::vector<std::string> lines;
    app->postLine = [&](const std::string& line, const std::string&) { lines.push_back(line); };
    app->postDataLine = [&](std::string line, const std::string&, std::function<void(bool)> done) {
        lines.push_back(line.substr(0, 2)); // "C", or a clip line's kind
        if (line == Wire::askClip) {
            std::string reply = onPC;
            reply.insert(reply.find(' '), " 7"); // its clip number
            QTimer::singleShot(
                0, [&, reply] { app->clipArrived("pc1", Wire::clipReply(reply)->clip); });
        } else {
            onPC = std::move(line);
        }
        if (done)
            QTimer::singleShot(0, [done] { done(true); });
    };
    app->apply({Router::Effect::keys("mac/a", "pc1/x")});
    app->apply({Router::Effect::keys("pc1/x", "mac/a")});
    clock.restart();
    while ((lines.size() < 3 || pb.changeCount() == copied) && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(lines, (std::vector<std::string>{"ci", Wire::release, Wire::askClip}));
    const std::optional<Pasteboard::Data> here = pb.png();
    EXPECT_TRUE(here && QByteArray(reinterpret_cast<const char*>(here->data()),
                                   qsizetype(here->size())) == png);
    holder.kill();
    holder.waitForFinished();
}

// Another program hands its clipboard over a byte every 4 s and never to its end. The push to
// pc1 gives up on it within the limit of the read, says so, and the ask for pc1's clipboard
// goes out behind it; a quit during such a read waits for nothing.
TEST_F(AppX11Test, AClipboardThatNeverFinishesHoldsUpNeitherTheHandOverNorTheQuit) {
    ASSERT_TRUE(dpy);
    QProcess holder;
    holder.start(HELM_CLIPBOARD_HOLDER, {"--slow", "4000"});
    ASSERT_TRUE(holder.waitForReadyRead(5000) && holder.readAll() == "ready\n");
    for (const auto limit : {std::chrono::seconds(2), std::chrono::seconds(60)}) {
        const bool quitting = limit > std::chrono::seconds(2);
        SCOPED_TRACE(quitting ? "quit during the read" : "the read's limit");
        Platform p = simPlatform();
        p.pasteboard = std::make_unique<QtPasteboard>([limit](std::uint64_t most) {
            return std::make_shared<X11ClipboardReader>(most, std::chrono::seconds(5), limit);
        });
        auto app = desk(std::move(p));
        std::vector<std::string> lines;
        app->postLine = [&](const std::string& line, const std::string&) { lines.push_back(line); };
        app->postDataLine = [&](std::string line, const std::string&, std::function<void(bool)>) {
            lines.push_back(line);
        };
        app->apply({Router::Effect::keys("mac/a", "pc1/x")});
        app->apply({Router::Effect::keys("pc1/x", "mac/a")});
        QElapsedTimer clock;
        clock.start();
        if (quitting) {
            while (clock.elapsed() < 500)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            clock.restart();
            app->applicationWillTerminate();
            app.reset();
            EXPECT_LT(clock.elapsed(), 1000);
            continue;
        }
        while (lines.size() < 2 && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(lines, (std::vector<std::string>{Wire::release, Wire::askClip}));
        EXPECT_EQ(app->hud.note().value_or(""),
                  "Clipboard: the program holding it took too long to hand it over");
        EXPECT_EQ(1, countLogged("clipboard → pc1: not sent, the program holding it took too "
                                 "long to hand it over"));
    }
    holder.kill();
    holder.waitForFinished();
}

} // namespace
