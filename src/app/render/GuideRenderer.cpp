#include "app/render/GuideRenderer.h"

#include "app/menu/MenuHeader.h"
#include "app/menu/MenuModel.h"
#include "app/menu/StatusMenu.h"
#include "app/render/Desk3DPicture.h"
#include "app/render/GuideSamples.h"
#include "app/render/PngFile.h"
#include "app/render/RenderSetup.h"
#include "app/render/Snap.h"
#include "gaze/feed/CameraFeedView.h"
#include "gaze/feed/HoldProgress.h"
#include "guide/OnboardingModel.h"
#include "guide/OnboardingView.h"
#include "overlays/draw/TargetView.h"
#include "ui/DarkPalette.h"
#include "windows/DeskView.h"
#include "windows/SettingsView.h"

#include <QApplication>
#include <QDir>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>

namespace helm {

namespace {

// The moment every moving view is drawn at, on the media clock: the jump previews are partway
// through their effect, the calibration dot near its resting place.
constexpr double pinnedTime = 0.35;

QColor grey(double white) {
    return QColor::fromRgbF(float(white), float(white), float(white));
}

} // namespace

void renderGuide(const std::string& path) {
    const QString folder = QString::fromStdString(path);
    if (!QDir().mkpath(folder)) {
        return;
    }
    QDir dir(folder);
    auto save = [&](const QImage& img, const char* name) {
        writePng(img, dir.filePath(QString::fromLatin1(name) + ".png"));
    };
    auto snapTo = [&](QWidget& view, QSize size, const char* name,
                      std::optional<QColor> background = std::nullopt) {
        save(snap(view, size, background), name);
    };
    auto clock = [] { return pinnedTime; };

    GuideSamples s(clock);

    // The guide's pages share one guide model and one desk model; each page's changes stay for
    // the pages after it, and the pictures after the guide show the desk as it left it.
    DeskModel& desk = s.desk;
    OnboardingModel& guide = s.guide;
    auto learn = [&](std::size_t count) {
        for (std::size_t i = 0; i < count && i < desk.layout.screens.size(); ++i) {
            desk.layout.screens[i].learned = true;
        }
        desk.changed();
        guide.screensChanged();
    };
    auto page = [&](int step, const char* name) {
        guide.setStep(step);
        OnboardingView view(guide, desk, s.store);
        snapTo(view, {960, 720}, name);
    };
    page(0, "0-welcome");
    guide.setCamera(OnboardingModel::Camera::allowed);
    guide.setFace("We see you \u00B7 head 3\u00B0 left, 2\u00B0 down");
    page(1, "1-camera");
    page(2, "2-keyboard");
    page(3, "3-connect");
    guide.setAgents({"work-pc"});
    page(3, "3-connect-done");
    page(4, "4-look-start");
    guide.setCalibrating(true);
    guide.setProgress(0.5);
    guide.setInstruction("Screen 3, top left.");
    guide.setTargetID(desk.layout.screens.at(2).id);
    learn(2);
    page(4, "4-look-running");
    guide.setCalibrating(false);
    learn(desk.layout.screens.size());
    desk.selected = desk.layout.screens.at(1).id;
    desk.changed();
    page(5, "5-finetune");
    page(6, "6-done-waiting");
    guide.setFirstSwitch("WORK PC");
    page(6, "6-done");

    for (const char* tab :
         {"general", "switching", "tracking", "jump", "camera", "computers", "setups"}) {
        s.settings.setTab(tab);
        SettingsView view(s.settings, s.prefs);
        snapTo(view, {820, 560}, (std::string("settings-") + tab).c_str());
    }

    const QColor menuGround = StatusMenu::ground();
    {
        MenuModel model;
        MenuModel::Header header;
        header.title = "Keys and mouse on 2 \u00B7 WORK PC";
        header.remote = true;
        model.setHeader(header);
        MenuHeader view(model);
        snapTo(view, {320, 120}, "menu-header", menuGround);
    }
    {
        MenuModel model;
        MenuModel::Header header;
        header.title = "Keys and mouse on 1 \u00B7 ThinkPad";
        header.detail = "Too far from the camera";
        header.warning = true;
        model.setHeader(header);
        MenuHeader view(model);
        snapTo(view, {320, 130}, "menu-header-warning", menuGround);
    }

    {
        // A small face at the left of the camera's picture: too far, and off to one side.
        FeedModel feed;
        feed.setCameraOn(true);
        feed.setSeen(true);
        feed.setFace(Face{{0.05, 0.4, 0.09, 0.12}, 0.9});
        QWidget pad;
        auto* column = new QVBoxLayout(&pad);
        column->setContentsMargins(20, 20, 20, 20);
        auto* view = new CameraFeedView(feed, false);
        view->setFixedSize(440, 330); // 440 wide at 4:3
        column->addWidget(view);
        snapTo(pad, {480, 370}, "camera-feed-hint");
    }

    {
        DeskView view(desk, s.store, true);
        snapTo(view, {920, 600}, "screens-window");
    }

    save(desk3DPicture(desk.layout, {900, 560}), "desk-3d");

    {
        HoldProgress progress;
        progress.setValue(0.6);
        TargetView view(
            3, "LG 24MP", TargetMode::at(CalCorner::tl), progress, [] { return false; }, nullptr,
            clock);
        view.setFixedSize(960, 540);
        snapTo(view, {960, 540}, "target", grey(0.55));
    }
}

int runGuideRenderer(int& argc, char** argv, const std::string& folder) {
    RenderSetup setup;
    // The run reports nothing: Qt's own warnings stay out of the output too.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QApplication application(argc, argv);
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion); // the application owns it from here
    }
    QApplication::setPalette(darkPalette());
    renderGuide(folder);
    return 0;
}

} // namespace helm
