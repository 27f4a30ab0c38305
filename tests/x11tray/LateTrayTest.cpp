// A tray that starts after the program, of either kind, on Xvfb with a session bus of the
// test's own: the item reaches the tray and the status box goes back to its setting (off);
// when the tray quits, the box is back as the way to the menu.
#include "AppFixture.h"
#include "app/menu/StatusMenu.h"
#include "app/menu/TrayStatusItem.h"
#include "platform/linux/BusCheck.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>

// gtest before Xlib: Xlib's macros (None, Bool) break gtest's templates.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdio>
#include <functional>
#include <memory>

using namespace helm;

namespace {

// The watcher of a StatusNotifierItem tray, as a process of its own: it takes the items that
// register, prints each one's title and the form of its icon, and asks for its menu, as a tray
// does on a click.
class Watcher : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& m, const QDBusConnection& bus) override {
        if (m.member() == "RegisterStatusNotifierItem") {
            bus.send(m.createReply());
            QTimer::singleShot(
                0, [bus, item = m.arguments().value(0).toString()] { read(bus, item); });
            return true;
        }
        if (m.member() == "Get" && m.arguments().value(1) == "IsStatusNotifierHostRegistered") {
            bus.send(m.createReply(QVariant::fromValue(QDBusVariant(true))));
            return true;
        }
        return false;
    }

private:
    static void read(QDBusConnection bus, const QString& item) {
        QDBusMessage all = QDBusMessage::createMethodCall(
            item, "/StatusNotifierItem", "org.freedesktop.DBus.Properties", "GetAll");
        all << QStringLiteral("org.kde.StatusNotifierItem");
        const auto p = qdbus_cast<QVariantMap>(bus.call(all).arguments().value(0));
        std::printf("item %s %s\n", qPrintable(p.value("Title").toString()),
                    qPrintable(p.value("IconPixmap").value<QDBusArgument>().currentSignature()));
        std::fflush(stdout);
        QDBusMessage menu = QDBusMessage::createMethodCall(
            item, "/StatusNotifierItem", "org.kde.StatusNotifierItem", "ContextMenu");
        menu << 40 << 40;
        bus.send(menu);
    }
};

int runWatcher(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    Watcher watcher;
    if (!bus.registerVirtualObject("/StatusNotifierWatcher", &watcher) ||
        !bus.registerService("org.kde.StatusNotifierWatcher")) {
        std::fprintf(stderr, "watcher: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    return app.exec();
}

// An embedding tray: it owns the screen's tray selection, says so to every client, and counts
// the icons that ask to dock.
class EmbedTray {
public:
    EmbedTray() : dpy_(XOpenDisplay(nullptr)) {
        const Window root = DefaultRootWindow(dpy_);
        window_ = XCreateSimpleWindow(dpy_, root, 0, 0, 24, 24, 0, 0, 0);
        const Atom selection = XInternAtom(dpy_, "_NET_SYSTEM_TRAY_S0", False);
        XSetSelectionOwner(dpy_, selection, window_, CurrentTime);
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = root;
        e.xclient.message_type = XInternAtom(dpy_, "MANAGER", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = CurrentTime;
        e.xclient.data.l[1] = static_cast<long>(selection);
        e.xclient.data.l[2] = static_cast<long>(window_);
        XSendEvent(dpy_, root, False, StructureNotifyMask, &e);
        XFlush(dpy_);
    }
    ~EmbedTray() {
        XDestroyWindow(dpy_, window_);
        XCloseDisplay(dpy_);
    }
    int docked() {
        const Atom opcode = XInternAtom(dpy_, "_NET_SYSTEM_TRAY_OPCODE", False);
        while (XPending(dpy_) > 0) {
            XEvent e;
            XNextEvent(dpy_, &e);
            docked_ += e.type == ClientMessage && e.xclient.message_type == opcode &&
                       e.xclient.data.l[1] == 0; // the request to dock
        }
        return docked_;
    }

private:
    Display* dpy_;
    Window window_;
    int docked_ = 0;
};

bool until(const std::function<bool()>& done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 15000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return done();
}

struct LateTrayTest : ::testing::Test, test::AppFixture {};

TEST_F(LateTrayTest, TakesTheItemAndTheStatusBoxFollowsItsSetting) {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    Platform p = simPlatform();
    p.statusItem = std::make_unique<TrayStatusItem>();
    auto app = make({"--no-camera"}, std::move(p)); // the preference leaves the box off
    app->buildMenu();
    app->refresh();
    auto boxShown = [&] { return app->panel_ && app->panel_->isVisible(); };
    ASSERT_TRUE(boxShown()) << "no tray yet: the box is the way to the menu";

    std::unique_ptr<EmbedTray> embed;
    QProcess watcher;
    QByteArray read;
    struct Kind {
        const char* name;
        std::function<void()> start;
        std::function<bool()> took;
        std::function<void()> stop;
    };
    const Kind kinds[] = {
        {"an embedding tray", [&] { embed = std::make_unique<EmbedTray>(); },
         [&] { return embed->docked() > 0; }, [&] { embed.reset(); }},
        {"a StatusNotifierItem tray",
         [&] { watcher.start(QCoreApplication::applicationFilePath(), {"--tray-watcher"}); },
         [&] {
             read += watcher.readAllStandardOutput();
             return read.contains("item Helmvantor a(iiay)\n") && app->menu()->menu.isVisible();
         },
         [&] {
             watcher.kill();
             watcher.waitForFinished();
         }},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.name);
        k.start();
        EXPECT_TRUE(until([&] { return k.took() && !boxShown(); }));
        app->menu()->menu.hide();
        k.stop();
        EXPECT_TRUE(until(boxShown)) << "the tray quit: the box is back";
    }
    EXPECT_EQ(2, countLogged("tray found: the status box follows its setting"));
}

// A watcher that takes its name and never answers: Qt would wait for it on the main thread as
// it makes its tray icon. The check gives up on it in its time, and the program starts without
// waiting, with the status box as the way to the menu.
TEST_F(LateTrayTest, AWatcherThatNeverAnswersHoldsNothingUp) {
    QProcess silent;
    silent.start(HELM_SILENT_OWNER, {"org.kde.StatusNotifierWatcher"});
    ASSERT_TRUE(silent.waitForReadyRead(5000) && silent.readAll() == "ready\n");
    QElapsedTimer started;
    started.start();
    const BusCheck::Result buses = BusCheck::run(std::chrono::milliseconds(500));
    EXPECT_EQ(buses.watcher, TrayWatcher::silent);
    Platform p = simPlatform();
    p.statusItem = std::make_unique<TrayStatusItem>(nullptr, buses.watcher);
    auto app = make({"--no-camera"}, std::move(p));
    app->buildMenu();
    app->refresh();
    EXPECT_LT(started.elapsed(), 3000);
    EXPECT_TRUE(app->panel_ && app->panel_->isVisible());
    silent.kill();
    silent.waitForFinished();
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--tray-watcher") {
        return runWatcher(argc, argv);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
