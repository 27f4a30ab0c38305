// Every text the program can show, walked: the guide's pages in each of their states, the
// settings tabs, the tray menu with its submenus, the menu header and the notes. None may name
// another system's parts or keys.
#include "AppFixture.h"
#include "app/menu/StatusMenu.h"
#include "guide/OnboardingView.h"
#include "link/Wire.h"
#include "overlays/draw/JumpsLoad.h"
#include "overlays/draw/PanelView.h"
#include "platform/sim/MemoryPasteboard.h"
#include "windows/DeskView.h"
#include "windows/SettingsModel.h"
#include "windows/SettingsView.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QTextItem>
#include <QWidgetAction>

#include <gtest/gtest.h>

#include <regex>

using namespace helm;

namespace {

// A paint device that keeps the words drawn on it and nothing else: painted labels that no
// widget holds as text are caught too.
class WordCatcher : public QPaintDevice {
public:
    std::string words;
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric m) const override {
        return m == PdmWidth || m == PdmHeight  ? 2000
               : m == PdmDepth                  ? 32
               : m == PdmDevicePixelRatio       ? 1
               : m == PdmDevicePixelRatioScaled ? static_cast<int>(devicePixelRatioFScale())
                                                : 96; // dots per inch, physical and logical
    }

private:
    struct Engine : QPaintEngine {
        std::string* out;
        explicit Engine(std::string* o) : QPaintEngine(AllFeatures), out(o) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState&) override {}
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF&, const QTextItem& t) override {
            *out += t.text().toStdString() + ' ';
        }
        Type type() const override { return User; }
    };
    mutable Engine engine_{&words};
};

// Qt's warnings while a test walks the windows: a layout asked for something it cannot do.
std::vector<std::string> qtWarnings;

void keepWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg) {
        qtWarnings.push_back(message.toStdString());
    }
}

const std::regex
    foreign(R"(macOS|\bMac\b|Finder|System Settings|iPhone|Continuity|menu bar|⌘|⌃|⌥)");

struct WordsTest : ::testing::Test, test::AppFixture {
    std::unique_ptr<App> app = make({"--no-camera"});
    std::vector<std::string> notes;

    WordsTest() {
        qputenv("XDG_DATA_HOME", dir.path().toUtf8()); // files from the PC land here
        Layout l;
        l.screens = {test::pcScreen("mac/a", 1), test::pcScreen("pc1/x", 2, "pc1"),
                     test::pcScreen("pc2/y", 3, "pc2")};
        app->setLayout(l);
        app->connected = {"pc1"};
        app->postLine = [](const std::string&, const std::string&) {};
        QObject::connect(&app->hud, &HUDModel::changed, [this] {
            if (app->hud.note()) {
                notes.push_back(*app->hud.note());
            }
        });
    }

    ~WordsTest() override { qunsetenv("XDG_DATA_HOME"); }

    void expectOwnWords(const std::string& text, const std::string& where) {
        EXPECT_FALSE(std::regex_search(text, foreign)) << where << ": " << text;
    }
    // What a widget draws and everything its tree holds as text, tips and names included.
    void walk(QWidget& w, const std::string& where) {
        w.resize(w.sizeHint().expandedTo({960, 720}));
        w.show();
        QCoreApplication::processEvents();
        WordCatcher drawn;
        w.render(&drawn);
        expectOwnWords(drawn.words, where + " (drawn)");
        for (QWidget* c : w.findChildren<QWidget*>()) {
            std::string texts = (c->toolTip() + ' ' + c->accessibleName()).toStdString();
            if (auto* l = qobject_cast<QLabel*>(c)) {
                texts += ' ' + l->text().toStdString();
            } else if (auto* b = qobject_cast<QAbstractButton*>(c)) {
                texts += ' ' + b->text().toStdString();
            }
            expectOwnWords(texts, where);
        }
    }
    void walk(QMenu& m, const std::string& where) {
        emit m.aboutToShow();
        for (QAction* a : m.actions()) {
            expectOwnWords((a->text() + ' ' + a->toolTip()).toStdString(), where);
            if (a->menu()) {
                walk(*a->menu(), where + " › " + a->text().toStdString());
            } else if (auto* wa = qobject_cast<QWidgetAction*>(a); wa && wa->defaultWidget()) {
                walk(*wa->defaultWidget(), where + " header");
            }
        }
    }
};

TEST_F(WordsTest, GuidePagesInEveryState) {
    qtWarnings.clear();
    QtMessageHandler before = qInstallMessageHandler(keepWarning);
    using Camera = OnboardingModel::Camera;
    OnboardingModel& g = app->guide;
    OnboardingView view(g, app->desk(), defaults);
    struct State {
        Camera camera;
        bool access, network, pcWaits, calibrating, switched;
    };
    for (const State& s : {State{Camera::unknown, false, false, false, false, false},
                           State{Camera::blocked, false, true, true, false, false},
                           State{Camera::missing, true, false, false, true, false},
                           State{Camera::allowed, true, true, false, false, true}}) {
        g.setCamera(s.camera);
        g.setAccessOK(s.access);
        g.setNetworkIP(s.network ? std::optional<std::string>("192.168.1.20") : std::nullopt);
        g.setPairCheck(s.pcWaits ? std::optional(OnboardingModel::PairCheck{"work-pc", "4711"})
                                 : std::nullopt);
        g.setAgents(s.network ? std::vector<std::string>{"work-pc"} : std::vector<std::string>{});
        g.setCalibrating(s.calibrating);
        g.setFirstSwitch(s.switched ? std::optional<std::string>("WORK PC") : std::nullopt);
        for (int step = 0; step < 7; ++step) {
            g.setStep(step);
            view.sync();
            walk(view,
                 "camera " + std::to_string(int(s.camera)) + ", step " + std::to_string(step));
        }
    }
    qInstallMessageHandler(before);
    EXPECT_EQ(std::vector<std::string>{}, qtWarnings);
}

TEST_F(WordsTest, EverySettingsTabTheScreensWindowAndTheStatusPanel) {
    SettingsModel s(app->prefs); // no login item: the refusal's sentence shows
    s.setStartAtLogin(true);
    s.setComputers(SettingsModel::computersOf(app->layout(), app->connected));
    ASSERT_TRUE(s.loginMessage());
    s.setCheckResult("Helmvantor picked the right screen 94% of the time.");
    s.jumps = Jumps::load()->recipes;
    for (const SettingsView::Tab& tab : SettingsView::tabs) {
        s.setTab(tab.id);
        SettingsView view(s, app->prefs);
        walk(view, tab.id);
    }
    DeskView screens(app->desk(), defaults, true);
    walk(screens, "screens window");
    app->toggleLock();
    app->refresh();
    app->hud.setNote("Keys and mouse released everywhere.");
    PanelView panel(app->hud);
    walk(panel, "status panel");
}

TEST_F(WordsTest, MenuHeaderAndNotes) {
    app->buildMenu();
    StatusMenu& m = *app->menu();
    app->toggleLock();
    walk(m.menu, "menu, locked");
    m.accessItem->setVisible(true);
    app->menuModel.onPause();
    QCoreApplication::processEvents();
    walk(m.menu, "menu, paused");
    for (QAction* a : m.menu.actions()) {
        if (a->text().startsWith("Unstick")) {
            a->trigger();
        }
    }
    app->menuModel.onReset();
    QCoreApplication::processEvents();
    app->jumpTo(3); // its PC is offline
    app->startCheck();
    auto* pb = dynamic_cast<MemoryPasteboard*>(&app->pasteboard());
    pb->set({{"text/plain", "pw"}, {"x-kde-passwordManagerHint", "secret"}});
    app->apply({Router::Effect::keys("mac/a", "pc1/x")});
    app->apply({Router::Effect::keys("pc1/x", "mac/a")}); // asks pc1 for its clipboard
    const std::size_t before = notes.size();
    app->clipArrived("pc1", Clip::files({{"notes.txt", {'h', 'i'}}}));
    QElapsedTimer clock;
    clock.start();
    while (notes.size() == before && clock.elapsed() < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_GT(notes.size(), before) << "the files' note";
    for (const std::string& n : notes) {
        expectOwnWords(n, "note");
    }

    app->remoteActivity("pc1"); // not allowed yet: the question comes on the next turn
    QCoreApplication::processEvents();
    QMessageBox* ask = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        ask = ask ? ask : qobject_cast<QMessageBox*>(w);
    }
    ASSERT_TRUE(ask);
    expectOwnWords((ask->text() + ' ' + ask->informativeText()).toStdString(), "question");
    ask->close();
}

} // namespace
