#include "AppFixture.h"

#include "gaze/camera/GazeEngine.h"
#include "link/Hub.h"
#include "link/MacClipboard.h"
#include "platform/sim/MemorySecretStore.h"
#include "platform/sim/RecordingWorkspace.h"
#include "windows/SettingsModel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace helm {
namespace {

struct AppSettingsTest : ::testing::Test, test::AppFixture {
    RecordingWorkspace* workspace = nullptr;
    MemorySecretStore* secrets = nullptr;
    int quits = 0;

    std::unique_ptr<App> launch(std::vector<std::string> args) {
        args.insert(args.begin(), "helmvantor");
        Platform p = simPlatform();
        workspace = static_cast<RecordingWorkspace*>(p.workspace.get());
        secrets = static_cast<MemorySecretStore*>(p.secrets.get());
        auto app = std::make_unique<App>(CommandLine(std::move(args)), defaults, std::move(p));
        app->quit = [this] { ++quits; };
        app->confirmNewSecret = [] { return true; };
        return app;
    }
    static Layout desk() {
        auto s = [](const char* id, int n, std::optional<std::string> pc, const char* name) {
            Screen x;
            x.id = id;
            x.number = n;
            x.computer = std::move(pc);
            x.computerName = name;
            return x;
        };
        Layout l;
        l.screens = {s("m1", 1, {}, "Studio"), s("p1", 2, "pc", "Tower"), s("m2", 3, {}, "Studio"),
                     s("p2", 4, "pc", "Tower")};
        return l;
    }
};

TEST_F(AppSettingsTest, RenameAndForgetReachTheLayoutAndTheList) {
    auto app = launch({"--test-port", "0", "--no-camera"});
    app->setLayout(desk());
    app->applicationDidFinishLaunching();
    SettingsModel& s = app->settings();
    s.onRename("mac", "Desk");
    EXPECT_EQ(app->layout().screens[0].computerName, "Desk");
    EXPECT_EQ(app->layout().screens[2].computerName, "Desk");
    EXPECT_EQ(app->layout().screens[1].computerName, "Tower");
    s.onRename("pc", ""); // stored as typed
    EXPECT_EQ(app->layout().screens[3].computerName, "");
    ASSERT_EQ(s.computers().size(), 2u);
    s.onForget("pc");
    EXPECT_EQ(app->layout().screens.size(), 2u);
    ASSERT_EQ(s.computers().size(), 1u);
    EXPECT_EQ(s.computers()[0], (SettingsModel::Computer{"mac", "Desk", 2, true, true}));
    s.onForget("nobody");
    EXPECT_EQ(app->layout().screens.size(), 2u);
}

TEST_F(AppSettingsTest, HealthAndOneWindow) {
    auto app = launch({"--test-port", "0", "--no-camera"});
    app->applicationDidFinishLaunching();
    app->openSettings();
    QWidget* first = app->settingsWindow();
    app->openSettings();
    EXPECT_EQ(app->settingsWindow(), first);
    EXPECT_EQ(first->size(), QSize(820, 560));
    EXPECT_EQ(first->windowTitle(), "Helmvantor Settings");
    EXPECT_TRUE(first->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(first->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(app->settings().health(), "Camera off");
    EXPECT_FALSE(app->settings().healthOK());
    first->close();
    EXPECT_EQ(app->settingsWindow(), first) << "closing keeps the window";
}

TEST_F(AppSettingsTest, NewSecretStartsASuccessorThenQuits) {
    auto app = launch({"--test-port", "0", "--token", "old-secret", "--no-camera"});
    app->applicationDidFinishLaunching();
    ASSERT_TRUE(app->hub().ready);
    app->settings().onNewSecret();
    ASSERT_EQ(workspace->started.size(), 1u);
    EXPECT_EQ(workspace->started[0], (std::vector<std::string>{"--test-port", "0", "--no-camera"}));
    EXPECT_FALSE(app->hub().ready) << "the ports are free for the successor";
    EXPECT_EQ(quits, 0) << "the quit is posted, not run inside the click";
    QCoreApplication::processEvents();
    EXPECT_EQ(quits, 1);
}

TEST_F(AppSettingsTest, AFailedStartKeepsThisRunListening) {
    auto app = launch({"--test-port", "0", "--no-camera"});
    app->applicationDidFinishLaunching();
    workspace->failure = "no such file";
    app->settings().onNewSecret();
    EXPECT_TRUE(wasLogged("relaunch failed: no such file"));
    EXPECT_TRUE(app->hub().ready);
    QCoreApplication::processEvents();
    EXPECT_EQ(quits, 0);
}

TEST_F(AppSettingsTest, UnsavedKeysStartNothing) {
    auto app = launch({"--no-camera"}); // the real secret path, over the in-memory store
    secrets->failWrites = true;         // before the store is used off the main thread
    app->newSecret(); // not launched: a launched hub here would take the real port
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return wasLogged("new secret: the emptied keys couldn't be stored");
    })) << ::testing::PrintToString(logged());
    EXPECT_TRUE(workspace->started.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(quits, 0);
}

TEST_F(AppSettingsTest, RecordingWithoutACameraKeepsTheWindowAndSaysWhy) {
    for (bool camera : {false, true}) {
        SCOPED_TRACE(camera);
        auto app = launch({"--test-port", "0", "--no-camera"});
        app->makeGaze = [camera] {
            GazeEngine::Options o;
            o.present = [camera] { return camera; };
            return std::make_unique<GazeEngine>(std::move(o));
        };
        app->applicationDidFinishLaunching();
        app->openSettings();
        app->settings().onRecord();
        EXPECT_EQ(app->settingsWindow()->isVisible(), !camera);
        EXPECT_EQ(app->settings().recordMessage().has_value(), !camera);
    }
}

TEST_F(AppSettingsTest, ShowReceivedFilesMakesThePrivateFolderOrSaysWhereItIs) {
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const std::string inbox = MacClipboard::inbox();
    ASSERT_EQ(inbox, data.path().toStdString() + "/com.pardwell.pivmor/Received");
    for (bool manager : {true, false}) {
        std::filesystem::remove_all(inbox);
        auto app = launch({"--test-port", "0", "--no-camera"});
        if (!manager)
            workspace->noFolders = "no file manager is installed";
        app->applicationDidFinishLaunching();
        app->settings().onShowReceived();
        EXPECT_EQ(workspace->opened.size(), manager ? 1u : 0u);
        EXPECT_EQ(std::filesystem::status(inbox).permissions(), std::filesystem::perms::owner_all);
        // Where the files are, when they cannot be shown.
        EXPECT_EQ(app->settings().receivedMessage().value_or("").find(inbox) != std::string::npos,
                  !manager);
    }
    qunsetenv("XDG_DATA_HOME");
}

// The button as the user clicks it: with nothing to show folders, the window and a note in the
// status box say where the files are (the note also where the window lies under others).
TEST_F(AppSettingsTest, ShowReceivedFilesWithoutAFileManagerSaysWhereTheyAre) {
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const QString inbox = QString::fromStdString(MacClipboard::inbox());
    auto app = launch({"--test-port", "0", "--no-camera"});
    workspace->noFolders = "no file manager is installed";
    app->applicationDidFinishLaunching();
    app->openSettings();
    app->settings().setTab("clipboard");
    QWidget* window = app->settingsWindow();
    ASSERT_NE(nullptr, window);
    QPushButton* show = nullptr;
    for (QPushButton* b : window->findChildren<QPushButton*>()) {
        if (b->text() == "Show received files") {
            show = b;
        }
    }
    ASSERT_NE(nullptr, show);
    QTest::mouseClick(show, Qt::LeftButton);
    QCoreApplication::processEvents();
    bool said = false;
    for (QLabel* l : window->findChildren<QLabel*>()) {
        said = said || (l->isVisibleTo(window) && l->text().contains(inbox));
    }
    EXPECT_TRUE(said) << "nothing in the window says where the files are";
    EXPECT_NE(std::string::npos, app->hud.note().value_or("").find(inbox.toStdString()))
        << "no note says where the files are";
    qunsetenv("XDG_DATA_HOME");
}

TEST_F(AppSettingsTest, CancellingChangesNothing) {
    auto app = launch({"--test-port", "0", "--no-camera"});
    app->applicationDidFinishLaunching();
    app->confirmNewSecret = [] { return false; };
    app->settings().onNewSecret();
    EXPECT_TRUE(workspace->started.empty());
    EXPECT_TRUE(app->hub().ready);
}

} // namespace
} // namespace helm
