#include "guide/OnboardingView.h"
#include "desk/Defaults.h"
#include "desk/DeskModel.h"
#include "gaze/feed/CameraFeedView.h"
#include "guide/CameraAccessPage.h"
#include "guide/GuideBlocks.h"
#include "guide/GuideFooter.h"
#include "guide/GuidePage.h"
#include "guide/OnboardingModel.h"
#include "guide/PrimaryButton.h"
#include "guide/QuietButton.h"
#include "support/WidgetApplication.h"
#include "ui/Fonts.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <cstdlib>

namespace helm {
namespace {

void needApplication() {
    test::needWidgetApplication("guide_tests");
}

Screen screen(std::string id, int number, bool learned, bool portrait = false) {
    Screen s;
    s.id = std::move(id);
    s.number = number;
    s.name = "Display " + std::to_string(number);
    s.computerName = "This computer";
    s.width = 30;
    s.height = 18;
    s.learned = learned;
    s.portrait = portrait;
    return s;
}

// A guide window's content over its own models, shown offscreen.
struct Guide {
    OnboardingModel model{"Studio"};
    DeskModel desk;
    Defaults defaults;
    std::vector<Screen> screens;
    std::vector<int> entered;
    std::unique_ptr<OnboardingView> view;

    Guide() {
        needApplication();
        model.screens = [this] { return screens; };
        model.onEnter = [this](int step) { entered.push_back(step); };
        view = std::make_unique<OnboardingView>(model, desk, defaults);
        view->show();
    }
    void settle() {
        view->sync();
        QCoreApplication::processEvents();
    }
    // The visible widget of that type whose accessible name is name, or null.
    template <class W = QWidget> W* find(const QString& name) const {
        for (W* w : view->findChildren<W*>()) {
            if (w->accessibleName() == name && w->isVisibleTo(view.get())) {
                return w;
            }
        }
        return nullptr;
    }
    bool shows(const QString& name) const { return find(name) != nullptr; }
    void key(Qt::Key k) {
        QTest::keyClick(view.get(), k);
        settle();
    }
};

TEST(OnboardingView, FooterOffersTheButtonsOfEachStep) {
    struct Case {
        int step;
        bool calibrating;
        bool back;
        const char* skip;
        const char* main;
        bool enabled;
    };
    // A new model: no camera, no PCs and no screens, so steps 1, 3 and 4 are not done; the
    // keyboard step has nothing to wait for.
    const Case cases[] = {
        {0, false, false, nullptr, "Get started", true},
        {1, false, true, "Skip for now", "Continue", false},
        {2, false, true, nullptr, "Continue", true},
        {3, false, true, "Set up the PC later", "Continue", false},
        {4, false, true, "Skip for now", "Continue", false},
        {4, true, true, nullptr, "Continue", false},
        {5, false, true, nullptr, "Continue", true},
        {6, false, false, nullptr, "Start using Helmvantor", true},
        {9, false, false, nullptr, "Continue", true},
    };
    for (const Case& c : cases) {
        Guide g;
        g.model.setCalibrating(c.calibrating);
        g.model.setStep(c.step);
        g.settle();
        GuideFooter* f = g.view->footer();
        const std::string at = "step " + std::to_string(c.step);
        EXPECT_EQ(c.back, f->back()->isVisibleTo(f)) << at;
        EXPECT_EQ(c.skip != nullptr, f->skip()->isVisibleTo(f)) << at;
        if (c.skip != nullptr) {
            EXPECT_EQ(QString(c.skip), f->skip()->accessibleName()) << at;
        }
        EXPECT_EQ(QString(c.main), f->main()->accessibleName()) << at;
        EXPECT_EQ(c.enabled, f->main()->isEnabled()) << at;
        EXPECT_EQ(c.enabled, f->main()->looksEnabled()) << at;
    }
}

TEST(OnboardingView, ReturnMovesOnOnlyWhenTheStepIsDone) {
    struct Case {
        int step;
        int after;
        bool finished;
    };
    const Case cases[] = {{0, 1, false}, {1, 1, false}, {5, 6, false}, {6, 6, true}};
    for (const Case& c : cases) {
        Guide g;
        bool finished = false;
        g.model.onFinish = [&] { finished = true; };
        g.model.setStep(c.step);
        g.settle();
        g.entered.clear();
        g.key(Qt::Key_Return);
        EXPECT_EQ(c.after, g.model.step()) << c.step;
        EXPECT_EQ(c.after != c.step, !g.entered.empty()) << c.step;
        EXPECT_EQ(c.finished, finished) << c.step;
    }
}

TEST(OnboardingView, IndicatorNamesEachStepAndItsState) {
    struct Case {
        int step;
        std::vector<const char*> names;
    };
    const Case cases[] = {
        {0,
         {"Step 1, Camera, to do", "Step 2, Keyboard, to do", "Step 3, Connect PC, to do",
          "Step 4, Calibrate, to do", "Step 5, Fine-tune, to do"}},
        {3,
         {"Step 1, Camera, done", "Step 2, Keyboard, done", "Step 3, Connect PC, current",
          "Step 4, Calibrate, to do", "Step 5, Fine-tune, to do"}},
        {6,
         {"Step 1, Camera, done", "Step 2, Keyboard, done", "Step 3, Connect PC, done",
          "Step 4, Calibrate, done", "Step 5, Fine-tune, done"}},
    };
    for (const Case& c : cases) {
        Guide g;
        g.model.setStep(c.step);
        g.settle();
        for (const char* name : c.names) {
            EXPECT_TRUE(g.shows(name)) << name;
        }
    }
}

TEST(OnboardingView, CameraCardFollowsThePermission) {
    using Camera = OnboardingModel::Camera;
    const char* missingNote = "No camera is attached (there is no /dev/video device). Plug one "
                              "in; without it, Super+Alt+1\u20139 and pushing the pointer past "
                              "the outer edge still switch computers.";
    struct Case {
        Camera camera;
        std::optional<std::string> note; // what the desktop says of the camera
        std::vector<const char*> shown;
        bool preview;
        int buttons; // none where there is nothing to open
    };
    const Case cases[] = {
        {Camera::unknown,
         std::nullopt,
         {"Nothing to ask on this desktop: the camera starts when you choose Allow camera.",
          "Allow camera"},
         false,
         1},
        {Camera::allowed, std::nullopt, {"Camera allowed"}, true, 0},
        {Camera::blocked,
         "/dev/video0 is in use by zoom. Close that program and Helmvantor can use the camera.",
         {"The camera is blocked for Helmvantor",
          "/dev/video0 is in use by zoom. Close that program and Helmvantor can use the camera."},
         false,
         0},
        {Camera::missing, missingNote, {"No camera found", missingNote}, false, 0},
    };
    for (const Case& c : cases) {
        Guide g;
        bool asked = false;
        g.model.onAllowCamera = [&] { asked = true; };
        g.model.setStep(1);
        g.settle();
        g.model.setCamera(c.camera);
        g.model.setCameraNote(c.note);
        g.settle();
        for (const char* name : c.shown) {
            EXPECT_TRUE(g.shows(name)) << name;
        }
        auto* page = dynamic_cast<CameraAccessPage*>(g.view->page());
        ASSERT_NE(nullptr, page);
        EXPECT_EQ(c.preview, page->preview()->isVisibleTo(page));
        EXPECT_EQ(page->card()->findChildren<QAbstractButton*>().size(), c.buttons);
        // A note of several lines is shown whole.
        if (QLabel* note = c.note ? g.find<QLabel>(QString::fromStdString(*c.note)) : nullptr) {
            EXPECT_GE(note->height(), note->heightForWidth(note->width())) << *c.note;
        }
        if (auto* allow = g.find<QAbstractButton>("Allow camera")) {
            allow->click();
            EXPECT_TRUE(asked);
        }
    }
}

TEST(OnboardingView, KeyboardPageWithoutInputHasNothingToOpenAndGoesOn) {
    Guide g;
    g.model.setStep(2);
    g.settle();
    EXPECT_TRUE(g.shows("Keyboard and mouse can't be passed on"));
    bool said = false;
    for (QLabel* l : g.view->page()->findChildren<QLabel*>())
        said = said || (l->isVisibleTo(g.view.get()) &&
                        l->text().contains("won't follow your look to your PCs"));
    EXPECT_TRUE(said);
    EXPECT_TRUE(g.view->page()->findChildren<QAbstractButton*>().isEmpty());
    g.view->footer()->main()->click();
    EXPECT_EQ(g.model.step(), 3);
}

TEST(OnboardingView, ConnectPageShowsCodesAndStatus) {
    Guide g;
    g.model.setCode("730146");
    g.model.setStep(3);
    g.settle();
    QLabel* code = g.find<QLabel>("Code 7 3 0 1 4 6");
    ASSERT_NE(nullptr, code);
    EXPECT_EQ("730 146", code->text());
    EXPECT_TRUE(g.shows("Pick “Studio” in its list."));

    // The note names only an address the page shows or can name.
    const std::string once = "The code works once; after five wrong tries press New code.";
    struct Net {
        std::optional<std::string> lan, tailscale;
        const char* line;
        std::string note;
    };
    const Net nets[] = {
        {"192.168.1.20", std::nullopt, "This computer is ready on your network (192.168.1.20)",
         "If the PC doesn't list this computer, type the address above into its address box. " +
             once},
        {std::nullopt, "100.64.0.7", "This computer is ready on your network",
         "If the PC doesn't list this computer, type its Tailscale address, 100.64.0.7, into its "
         "address box. " +
             once},
        {std::nullopt, std::nullopt, "This computer isn't on a network", once},
    };
    for (const Net& n : nets) {
        g.model.setNetworkIP(n.lan);
        g.model.setTailscaleIP(n.tailscale);
        g.settle();
        EXPECT_TRUE(g.shows(n.line)) << n.line;
        EXPECT_TRUE(g.shows(QString::fromStdString(n.note))) << n.note;
    }
    EXPECT_TRUE(g.shows("Waiting for your PC…"));
    g.model.setAgents({"tower", "laptop-7"});
    g.settle();
    EXPECT_TRUE(g.shows("Connected: TOWER, LAPTOP 7"));

    // A waiting PC: the check code unbroken, and Return answers that it matches.
    std::vector<bool> answers;
    g.model.onPairAnswer = [&](bool ok) { answers.push_back(ok); };
    g.model.setPairCheck(OnboardingModel::PairCheck{"TOWER PC", "482913"});
    g.settle();
    EXPECT_TRUE(g.shows("Does TOWER PC show this check code?"));
    QLabel* check = g.find<QLabel>("Check code 4 8 2 9 1 3");
    ASSERT_NE(nullptr, check);
    EXPECT_EQ("482913", check->text());
    // At the window's size, the box shown: both codes in fixed-pitch digits, and neither the
    // codes nor "New code" squeezed below their height.
    g.view->resize(960, 720);
    g.settle();
    QWidget* fresh = nullptr;
    for (QAbstractButton* b : g.view->findChildren<QAbstractButton*>()) {
        fresh = b->text() == "New code" ? b : fresh;
    }
    ASSERT_NE(nullptr, fresh);
    for (QWidget* w : {static_cast<QWidget*>(code), static_cast<QWidget*>(check), fresh}) {
        EXPECT_GE(w->height(), w->sizeHint().height()) << w->accessibleName().toStdString();
    }
    // ... and the whole page in view, without scrolling.
    auto* scroll = g.view->page()->findChild<QScrollArea*>();
    ASSERT_NE(nullptr, scroll);
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);
    // Measured, not asked of fontconfig: some monospaced faces (Noto Sans Mono) are not marked so.
    auto fixedPitch = [](const QFont& f) {
        const QFontMetricsF m(f);
        const double w = m.horizontalAdvance(QStringLiteral("iiii"));
        return w > 0 && w == m.horizontalAdvance(QStringLiteral("MMMM")) &&
               w == m.horizontalAdvance(QStringLiteral("1111")) &&
               w == m.horizontalAdvance(QStringLiteral("8888"));
    };
    EXPECT_TRUE(fixedPitch(code->font()));
    EXPECT_TRUE(fixedPitch(check->font()));
    g.key(Qt::Key_Return);
    EXPECT_EQ(std::vector<bool>{true}, answers);
    EXPECT_EQ(3, g.model.step()) << "Return answered the PC, it did not move on";
}

TEST(OnboardingView, LookPageListsScreensByNumberAndCounts) {
    Guide g;
    // Given out of order, with a tie on number 2 that keeps its given order.
    g.screens = {screen("c", 3, false), screen("b1", 2, true), screen("a", 1, false, true),
                 screen("b2", 2, false)};
    std::vector<std::pair<std::string, bool>> portrait;
    int starts = 0;
    g.model.onPortrait = [&](const std::string& id, bool p) { portrait.emplace_back(id, p); };
    g.model.onStartLook = [&] { ++starts; };
    g.model.setStep(4);
    g.settle();

    std::vector<QString> toggles;
    for (QAbstractButton* b : g.view->findChildren<QAbstractButton*>()) {
        if (b->accessibleName().startsWith("Screen ")) {
            toggles.push_back(b->accessibleName() + " @" + b->parentWidget()->objectName());
        }
    }
    const std::vector<QString> expected = {
        "Screen 1 is portrait. Switch @a", "Screen 2 is landscape. Switch @b1",
        "Screen 2 is landscape. Switch @b2", "Screen 3 is landscape. Switch @c"};
    EXPECT_EQ(expected, toggles);
    EXPECT_TRUE(g.shows("1 of 4 screens calibrated"));
    EXPECT_TRUE(g.shows("Map")) << "the desk map's picker";
    EXPECT_TRUE(g.shows("Start again"));

    g.screens = {screen("x", 1, true), screen("y", 2, false)};
    g.model.screensChanged();
    g.settle();
    EXPECT_TRUE(g.shows("1 of 2 screens calibrated"));
    QLabel* subtitle = g.find<QLabel>(
        "Every screen goes dark except a green dot. Look at it and hold still while its ring "
        "fills. About 14 seconds. Mark tall monitors as portrait first: they get extra points.");
    EXPECT_NE(nullptr, subtitle);
    g.find<QAbstractButton>("Screen 1 is landscape. Switch")->click();
    EXPECT_EQ((std::vector<std::pair<std::string, bool>>{{"x", true}}), portrait);
    g.key(Qt::Key_Space);
    EXPECT_EQ(1, starts);

    // While calibrating: the prompt heads the page, toggles are off and Space starts nothing.
    g.model.setCalibrating(true);
    g.settle();
    EXPECT_TRUE(g.shows("Listen…"));
    EXPECT_TRUE(g.find<QAbstractButton>("Stop")->isEnabled());
    EXPECT_FALSE(g.shows("Start again"));
    EXPECT_FALSE(g.find<QAbstractButton>("Screen 1 is landscape. Switch")->isEnabled());
    g.key(Qt::Key_Space);
    EXPECT_EQ(1, starts);
}

TEST(OnboardingView, ManyStoresMakeOneUpdateAndKeepThePage) {
    Guide g;
    g.model.setStep(3);
    g.settle();
    const int built = g.view->pagesBuilt();
    QWidget* page = static_cast<QWidget*>(g.view->page());
    // A refresh stores every field, also unchanged ones.
    for (int i = 0; i < 3; ++i) {
        g.model.setAgents({});
        g.model.setNetworkIP(std::string("10.0.0.2"));
        g.model.setStep(3);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(built, g.view->pagesBuilt());
    EXPECT_EQ(page, static_cast<QWidget*>(g.view->page()));
    EXPECT_TRUE(g.shows("This computer is ready on your network (10.0.0.2)"));
}

// Pages whose subtitle wraps to two lines at its capped width: the heading keeps its full
// height and the subtitle starts below it, at the guide window's own size.
TEST(OnboardingView, TwoLineSubtitlesLeaveTheHeadingWhole) {
    for (int step : {1, 2, 3}) {
        SCOPED_TRACE(step);
        Guide g;
        g.view->resize(960, 720);
        g.model.setStep(step);
        g.settle();
        QCoreApplication::processEvents();
        TitleBlock* block = nullptr; // no meta-object of its own: findChild cannot tell it
        for (QWidget* w : g.view->page()->findChildren<QWidget*>()) {
            block = block ? block : dynamic_cast<TitleBlock*>(w);
        }
        ASSERT_NE(block, nullptr);
        QLabel* heading = block->heading();
        QLabel* subtitle = block->subtitle();
        EXPECT_GE(heading->height(), heading->heightForWidth(heading->width()));
        EXPECT_GE(subtitle->height(), subtitle->heightForWidth(subtitle->width()));
        EXPECT_GE(subtitle->mapTo(block, QPoint()).y(), heading->geometry().bottom());
    }
}

} // namespace
} // namespace helm
