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

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

// Xlib's macros clash with other headers' names: X headers come last.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace helm;

namespace {

struct AppX11Test : ::testing::Test, test::AppFixture {
    Display* dpy = XOpenDisplay(nullptr);
    ~AppX11Test() override {
        if (dpy) {
            XCloseDisplay(dpy);
        }
    }

    // This computer with one 1280×1024 display (Xvfb's) and the connected PC "pc1", which
    // is allowed to drive it.
    std::unique_ptr<App> desk(Platform p = simPlatform()) {
        p.input = X11Input::open("", {});
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

} // namespace
