// What a focus change costs the main thread: a jump between this computer's two displays
// (Super+Alt+1, Super+Alt+2 in turn), from the focus state machine's moves to the refreshed
// status item, menu header and status box, with the glide's first step and the arrival effect
// started. The status item is
//   "none":   one that only remembers the look, the floor;
//   "drawn":  the tray icon painted anew at its five sizes on each change of look, its outline
//             joined to the shape, as it was;
//   "tray":   the tray icon as the program shows it.
// "tray" jumps between two screens, so after the first two changes it shows kept pictures;
// "tray/first" is the first change to a look, its pictures drawn.
// Run: build/default/bench/focus_change_bench (offscreen; no X server needed)
#include "app/App.h"
#include "app/Log.h"
#include "app/menu/TrayStatusItem.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/sim/RecordingPointer.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/StatusSymbols.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <QPainterPathStroker>
#include <QSystemTrayIcon>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <memory>

using namespace helm;

namespace {

// The tray icon as it was drawn: the outline joined to the shape, for the eye symbol in the
// tray's own colour (a jump between this computer's screens changes only the number).
QImage joinedIcon(const StatusItem::Look& look, int px) {
    QImage image(px, px, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double rim = std::max(1.0, px / 14.0);
    const double inset = rim + 1;
    QPainterPathStroker outline;
    outline.setWidth(2 * rim);
    outline.setJoinStyle(Qt::RoundJoin);
    QColor dark = gGround;
    dark.setAlphaF(0.9f);
    auto draw = [&](const QPainterPath& shape) {
        p.fillPath(outline.createStroke(shape).united(shape), dark);
        p.fillPath(shape, gInk);
    };
    const double s = (px - 2 * inset) * 0.8;
    QPainterPath symbol = StatusSymbols::path("eye", s);
    const QRectF drawn = symbol.boundingRect();
    const double k = std::min(1.0, s / std::max(drawn.width(), drawn.height()));
    symbol = QTransform::fromScale(k, k).map(symbol);
    draw(symbol.translated(inset - symbol.boundingRect().left(),
                           inset - symbol.boundingRect().top()));
    QPainterPath text;
    text.addText(0, 0, Fonts::font(px * 0.55, QFont::Bold, &image),
                 QString::fromStdString(look.title).trimmed());
    QRectF box = text.boundingRect();
    const double room = px - 2 * inset;
    if (box.width() > room * 0.8) {
        text = QTransform::fromScale(room * 0.8 / box.width(), room * 0.8 / box.width()).map(text);
        box = text.boundingRect();
    }
    draw(text.translated(px - inset - box.right(), px - inset - box.bottom()));
    return image;
}

// The tray item as it was: every size drawn again whenever the look changed.
class DrawnTray : public StatusItem {
public:
    void setMenu(QMenu*) override {}
    bool inTray() const override { return true; }
    bool menuTakesWidgets() const override { return true; }

protected:
    void draw(const Look& look, const std::optional<Look>& before) override {
        if (!before || before->symbol != look.symbol || before->tint != look.tint ||
            before->title != look.title) {
            QIcon set;
            for (int px : {16, 22, 32, 44, 64}) {
                set.addPixmap(QPixmap::fromImage(joinedIcon(look, px)));
            }
            tray_.setIcon(set);
        }
        tray_.setToolTip(TrayStatusItem::tooltip(look));
    }

private:
    QSystemTrayIcon tray_;
};

enum class Item { none, drawn, tray, first };

void focusChange(benchmark::State& state, Item item) {
    QTemporaryDir dir;
    setLogPath(dir.path().toStdString() + "/pivmor.log");
    qputenv("HELMVANTOR_HUB_PORT", "0");
    qputenv("HELMVANTOR_DISCOVERY_PORT", "0");
    Defaults defaults;
    Platform p = simPlatform();
    auto* pointer = new RecordingPointer;
    p.pointer.reset(pointer);
    DisplayInfo a, b;
    a.w = b.w = 1920;
    a.h = b.h = 1080;
    b.index = 1;
    b.x = 1920;
    p.displays = std::make_unique<FakeDisplaySource>(std::vector<DisplayInfo>{a, b});
    if (item == Item::drawn) {
        p.statusItem = std::make_unique<DrawnTray>();
    } else if (item == Item::tray || item == Item::first) {
        p.statusItem = std::make_unique<TrayStatusItem>();
    }
    App app(CommandLine({"focus_change_bench", "--no-camera"}), defaults, std::move(p));
    Screen one, two;
    one.id = "mac/a";
    one.number = 1;
    two = one;
    two.id = "mac/b";
    two.number = 2;
    two.display = 1;
    two.yaw = -30;
    Layout l;
    l.screens = {one, two};
    app.setLayout(l);
    int to = 2;
    for (auto _ : state) {
        if (item == Item::first && to == 2) {
            // A number the icon has not shown yet.
            l.screens[1].number = ++two.number;
            app.setLayout(l);
        }
        // The pointer sits on the display being left, so every jump moves it.
        pointer->at = Pointer::Point{to == 2 ? 100.0 : 2020.0, 100};
        const auto start = std::chrono::steady_clock::now();
        app.jumpTo(to == 2 ? two.number : 1);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        app.stopGlide();
        pointer->calls.clear();
        QCoreApplication::processEvents();
        to = 3 - to;
    }
    setLogPath("");
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qapp(argc, argv);
    for (auto [name, item] :
         {std::pair{"none", Item::none}, std::pair{"drawn", Item::drawn},
          std::pair{"tray", Item::tray}, std::pair{"tray/first", Item::first}}) {
        benchmark::RegisterBenchmark((std::string("FocusChange/") + name).c_str(),
                                     [item = item](benchmark::State& s) { focusChange(s, item); })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
