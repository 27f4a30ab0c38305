#pragma once

#include "app/CommandLine.h"
#include "app/Voice.h"
#include "desk/Angle.h"
#include "desk/Defaults.h"
#include "desk/DeskModel.h"
#include "desk/Layout.h"
#include "desk/Prefs.h"
#include "desk/V3.h"
#include "gaze/Face.h"
#include "gaze/GazePicker.h"
#include "gaze/feed/FeedModel.h"
#include "guide/MovieRecorder.h"
#include "guide/Script.h"
#include "input/Router.h"
#include "overlays/Jumps.h"
#include "platform/Platform.h"

#include <QMetaType>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QAction;
class QTimer;

namespace helm {

class DefaultsKeyValues;
class SettingsModel;
class GazeEngine;
class Hub;
class RepeatFilter;
class Secret;
class ScreenWatch;
class TestPort;

// The application object: owns every long-lived part of the program and wires them together
// at launch. Everything here runs on the main thread.
class App {
public:
    // d is the user defaults: the file store in the program, an in-memory one in tests.
    // platform is the system's services: the desktop's, or simulated ones.
    App(CommandLine commandLine, Defaults& d, Platform platform);
    ~App();

    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // A menu item's action: the item carries one of these and run calls it.
    struct Run {
        std::function<void()> f;
    };
    // Calls the item's Run when it carries one, then refreshes in every case.
    void run(QAction* item);

    void applicationDidFinishLaunching();
    void applicationWillTerminate();

    const CommandLine& commandLine() const { return commandLine_; }
    bool simOnly() const { return simOnly_; }

    // Preferences: pushed into every part that caches them after each change.
    void applyPrefs();
    void resetDefaults();

    // The desk. Every assignment goes through setLayout, which stores it under "layout2"
    // (outside simulation mode) and hands it on to everything that shows or keeps it.
    const Layout& layout() const { return layout_; }
    void setLayout(Layout layout);
    // The first screen of the layout with that id.
    std::optional<Screen> screen(const std::string& id) const;

    // The desk as the windows show and edit it, made on first use from the layout (AppDesk.cpp).
    DeskModel& desk();
    // Shows the desk window, made on first use and then kept, and brings it to the front.
    void openDesk();
    QWidget* deskWindow() const { return deskWindow_.get(); }

    // The focus state machine, created on first use with the layout's home screen.
    Router& router();

    // The link to the PC agents, created on first use with the stored keys.
    Hub& hub();

    // Resets focus to the home screen: a fresh focus state machine, nothing held or locked.
    void unstick();
    // The session locked: focus goes home so the desk is ready when the user returns.
    void screenLocked();
    // Shows a short message to the user for 5 s.
    void note(const std::string& text);

    // The one sentence that explains why following does not work, or nothing.
    std::optional<std::string> health() const;
    // Recomputes what the status item, menu header and status box show.
    void refresh();
    // The test port, once opened.
    const TestPort* testPort() const { return testPort_.get(); }

    // Per-frame gaze handling (AppGaze.cpp). faceSeen and then saw are called once for every
    // frame the camera reads.
    void saw(const std::optional<Angle>& head, const std::optional<Angle>& eye);
    void faceSeen(const std::optional<Face>& face);
    // Asks for keyboard and mouse focus on a screen; manual when the user chose it.
    void lookAt(const std::string& id, double at, bool manual);
    void setCamera(bool on, const std::string& why);
    void togglePause();
    // The test port's look: treats id as the picker's choice.
    void pretend(const std::string& id);
    // The camera and its reading, created on first use.
    GazeEngine& gaze();

    // Stored state, named as the rest of the program reads it.
    Defaults& d;
    Prefs prefs;
    GazePicker picker;
    bool followEyes = true;
    bool cameraOn = false;
    std::optional<Angle> angle;
    double brightness = 0.5;
    double lastEdge = 0;
    std::optional<std::string> problem;
    struct Point {
        double x = 0;
        double y = 0;
    };
    Point pointerRest;
    // An ISO keyboard; read from the keyboard model once input capture exists.
    const bool iso = false;
    std::set<int> swallowedKeys;
    std::map<std::string, std::string> pendingClip;
    std::map<std::string, int> sentClip;
    double noteUntil = 0;
    std::set<std::string> connected; // PC names
    Voice voice;
    double lastFaceAt = 0;
    bool toldNoFace = false;
    std::map<std::string, Point> lastCursor;
    std::optional<V3> headPos;
    double recordStart = 0;
    int sentHold = 0;
    bool preciseRun = false;
    std::optional<std::string> source; // the PC whose own input drives the desk
    std::set<std::string> capped;
    std::set<std::string> capOff;
    std::vector<std::string> injectLog;
    std::set<std::string> askedInput;
    std::string sentJump;
    struct Hint {
        std::string text;
        double at = 0;
    };
    std::optional<Hint> hintSince;
    std::optional<Face> face;
    FeedModel feed;
    // The recipe file built into the program, read once; absent when it cannot be read.
    const std::optional<Jumps::File> jumps = loadJumps();
    // The jump recipe in force for the preferences, read at every use; none for "off".
    std::optional<JumpRecipe> jump() const;

    // The test-session recorder (AppRecord.cpp): films the user while prompts tell them where
    // to look, into a dated folder under the recordings root.
    void startRecording();
    void finishRecording(const Layout& layout);
    void movieStarted(double t);
    void movieFinished(const std::optional<std::string>& why);
    // The movie of every recording; its frames come from the camera.
    std::shared_ptr<MovieRecorder> movie = std::make_shared<MovieRecorder>();
    // Set exactly while a recording runs or its movie is being finished.
    MovieRecorder* recorder = nullptr;
    std::optional<std::string> recordDir;
    std::vector<Script::Cue> recordCues;
    int recordRun = 0; // numbers the recordings, so a step of an earlier one does nothing
    bool scriptSaved = false;
    // Test seams: the prompts' timer and the media clock; QTimer and mediaNow when empty.
    std::function<void(double, std::function<void()>)> later;
    std::function<double()> recordClock;
    // Makes the camera engine on first use; the default camera when empty (a test seam).
    std::function<std::unique_ptr<GazeEngine>()> makeGaze;

    // The settings window (AppSettings.cpp). The model is made on first use and kept; the
    // window is made on the first opening and only hidden when closed.
    SettingsModel& settings();
    QWidget* settingsWindow() const { return settingsWindow_.get(); }
    void refreshSettings();
    // The model and its live-look line, only while the window shows.
    void refreshShownSettings();
    void openSettings();
    // Starts over with a new shared secret: every PC forgotten, a successor started, this run
    // ended once the successor is on its way.
    void newSecret();
    // Test seams: the question before a new secret (a question box when empty) and the end
    // of this run (the application's quit, posted, when empty).
    std::function<bool()> confirmNewSecret;
    std::function<void()> quit;
    std::unique_ptr<SettingsModel> settingsModel_;
    std::unique_ptr<QWidget> settingsWindow_; // after the model it shows
    // Starts of the hub left to try while a relaunched run waits for the ports; -1 unread.
    int hubRetriesLeft = -1;

private:
    CommandLine commandLine_;
    bool simOnly_;
    Platform platform_;
    Layout layout_;
    std::optional<Router> router_;
    std::unique_ptr<QTimer> mainTimer_;
    std::unique_ptr<ScreenWatch> screenWatch_;
    std::unique_ptr<TestPort> testPort_;
    std::unique_ptr<DefaultsKeyValues> secretDefaults_;
    std::unique_ptr<Secret> secret_;
    std::unique_ptr<Hub> hub_;             // after the secrets it reports to
    std::shared_ptr<RepeatFilter> hubLog_; // the hub's lines, floods summarised
    std::unique_ptr<GazeEngine> gaze_;
    std::unique_ptr<DeskModel> desk_;
    std::unique_ptr<QWidget> deskWindow_; // after the model it shows
    // Work the camera hands to the main thread holds this weakly, so a frame that arrives
    // after the application object is gone is dropped.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);

    Layout storedLayout() const;
    void syncMacDisplays();
    void setUpSettings();
    void setUpGuide();
    void openGuide();
    void tick();
    void wireHub();
    void startHub();
    void wireGaze();
    void nobodyThere();
    void cameraFailed(const std::string& why);
    void apply(const Router::Effects& effects);
    static std::optional<Jumps::File> loadJumps();
    void recordStep(int run, std::size_t i,
                    const std::shared_ptr<const std::vector<Script::Item>>& plan,
                    const Layout& start);
    // The PC that owns the screen, when it is connected now.
    std::optional<std::string> recordAgent(const std::string& id) const;
    void hideRecordTargets();
    void after(double secs, std::function<void()> fn);
};

} // namespace helm

Q_DECLARE_METATYPE(std::shared_ptr<helm::App::Run>)
