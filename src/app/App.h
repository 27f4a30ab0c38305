#pragma once

#include "app/CameraRetry.h"
#include "app/ClipOrder.h"
#include "app/CommandLine.h"
#include "app/Glide.h"
#include "app/HostName.h"
#include "app/menu/MenuModel.h"
#include "desk/Angle.h"
#include "desk/CalCorner.h"
#include "desk/Defaults.h"
#include "desk/DeskModel.h"
#include "desk/Layout.h"
#include "desk/Prefs.h"
#include "desk/Setups.h"
#include "desk/V3.h"
#include "gaze/AccuracyCheck.h"
#include "gaze/Calibrator.h"
#include "gaze/Face.h"
#include "gaze/GazePicker.h"
#include "gaze/feed/FeedModel.h"
#include "guide/CameraState.h"
#include "guide/MovieRecorder.h"
#include "guide/OnboardingModel.h"
#include "guide/Script.h"
#include "guide/Voice.h"
#include "input/InputEvent.h"
#include "input/MoveRouteBox.h"
#include "input/Router.h"
#include "input/WheelAccumulator.h"
#include "link/Clip.h"
#include "link/LinkBudget.h"
#include "overlays/Jumps.h"
#include "overlays/draw/HUDModel.h"
#include "overlays/panels/MacOverlays.h"
#include "overlays/panels/StatusPanel.h"
#include "platform/CameraTrouble.h"
#include "platform/Platform.h"

#include <QMetaType>
#include <QWidget>

#include <cstdint>
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
class GuideWindow;
class Hub;
class HubLog;
class SecretKeeper;
struct PCKeys;
class ScreenWatch;
class SerialQueue;
class StatusMenu;
class TestPort;
namespace MacClipboard {
struct Look;
}

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
    // Merges this computer's displays into the layout, after switching to the setup they
    // belong to (AppLayout.cpp).
    void syncMacDisplays();

    // The named desks (AppSetups.cpp), read on first use; simulation mode neither reads nor
    // writes them.
    Setups& setups();
    void saveSetups();
    // Switches to the setup that fits this computer's screens (the layout's own when none
    // are given) and the PCs online, or starts a new one for an unknown calibrated desk.
    void checkSetup(const std::optional<std::set<std::string>>& macScreens = std::nullopt);
    void useSetup(const std::string& name, bool automatic = false);
    void newSetup();
    void renameSetup(const std::string& old, const std::string& name);
    void deleteSetup(const std::string& name);

    // The desk as the windows show and edit it, made on first use from the layout (AppDesk.cpp).
    DeskModel& desk();
    // Shows the desk window, made on first use and then kept, and brings it to the front.
    void openDesk();
    QWidget* deskWindow() const { return deskWindow_.get(); }

    // The focus state machine, created on first use with the layout's home screen.
    Router& router();

    // The link to the PC agents, created on first use; the stored keys are read for it off
    // the main thread, and it listens once they are in.
    Hub& hub();

    // Resets focus to the home screen: a fresh focus state machine, nothing held or locked.
    void unstick();
    // The session locked: focus goes home so the desk is ready when the user returns.
    void screenLocked();

    // Focus effects on this computer (AppFocus.cpp). apply carries out the router's moves in
    // order; warpLocal puts the pointer back where the user left it on a display of this
    // computer.
    void apply(const Router::Effects& effects);
    void warpLocal(const std::optional<Screen>& from, const Screen& to);
    // The hotkey control-option-number: focus to the screen with that number.
    void jumpTo(int number);
    void toggleLock();
    // Where the pointer was when mouse focus last left each screen of this computer.
    std::map<std::string, Pointer::Point> lastCursor;
    // Input capture is on: the input layer watches the devices and can swallow the mouse.
    // Without it a detached pointer would leave the mouse dead.
    bool capturing = false;

    // What the user sees (AppStatus.cpp). note shows a message in the status box for 5 s.
    void note(const std::string& text);
    // The one sentence that explains why following does not work, or nothing.
    std::optional<std::string> health() const;
    // Recomputes what the status item, menu header and status box show.
    void refresh();
    // The label of a screen: its number, " · " and its name; the id itself when unknown.
    std::string name(const std::string& id) const;
    MenuModel menuModel;
    // The status box's content and note.
    HUDModel hud;
    // The status menu (AppMenu.cpp), built once at launch.
    void buildMenu();
    StatusMenu* menu() const { return menu_.get(); }
    // Asks for the leave to watch and post input. X11 has nothing to ask: it checks again and,
    // when the server still lacks what input needs, opens the guide's page that says so.
    void askAccess();
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
    // The camera's switch (AppCamera.cpp). cameraOn: it runs. cameraWanted: it is switched on,
    // running or waiting for a camera that is missing or failed; the user's toggles flip it and
    // only the user, a run or a recording sets it. cameraAway: it went off because nobody was
    // there, and the next key or pointer use brings it back.
    bool cameraWanted = false;
    bool cameraAway = false;
    // While it is wanted and does not run: why, in the health line's words.
    std::optional<std::string> cameraTrouble;
    static std::string cameraSentence(CameraTrouble trouble);
    // The switch as the user's toggles show it: on, or waiting to come on.
    bool cameraSwitchedOn() const { return cameraOn || cameraWanted; }
    CameraRetry cameraRetry;
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
    // An ISO keyboard, from the keyboard model the input service reads at launch.
    const bool iso;
    std::set<int> swallowedKeys;
    std::map<std::string, std::string> pendingClip;
    std::map<std::string, long> sentClip;
    double noteUntil = 0;
    std::set<std::string> connected; // PC names
    Voice voice;
    double lastFaceAt = 0;
    bool toldNoFace = false;
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
    // The set-up guide (AppGuide.cpp): its model, its window (made on the first opening, then
    // only hidden when closed), the hooks the model calls and the places that open it. It names
    // this computer as the PCs list it.
    OnboardingModel guide{hostName(listedNameFallback)};
    void setUpGuide();
    void openGuide();
    // Another start on this desktop asked this copy to show itself: the guide while it has not
    // been walked through, the settings after. Answers "guide" or "settings".
    std::string showForAnotherStart();
    QWidget* guideWindow() const;
    // Copies camera, input leave, addresses, PCs and head angle into the model.
    void refreshGuide();
    // Every half second: the model refreshed while the window shows.
    void guideTick();
    // The guide's stop: the run, the check and every overlay here and on connected PCs.
    void stopGuideCalibration();
    // The calibration page with a run of every screen; the connect page.
    void calibrateInGuide(bool precise);
    void addPCInGuide();
    // The hub's news for the guide: a PC paired; a PC waits for the user to compare its check
    // code (none: the wait is over).
    void guidePaired(const std::string& pc);
    void confirmInGuide(const std::string& pc, const std::optional<std::string>& code);
    // The user confirmed, but the PC had left before pairing finished: both windows say so.
    void pairLeft(const std::string& pc);
    // Hands the hub the guide's code while the connect page offers it, or closes pairing.
    void offerPairCode();
    // The guide's content over its model and the desk; the window stays empty without it.
    std::function<std::unique_ptr<QWidget>(OnboardingModel&, DeskModel&)> makeGuideView;
    // Test seam: the camera nodes as the guide reads them (/dev and /proc when empty).
    std::function<std::vector<CameraNode>()> cameraNodes;
    // The recipe file built into the program, read once; absent when it cannot be read.
    const std::optional<Jumps::File> jumps = loadJumps();
    // The jump recipe in force for the preferences, read at every use; none for "off".
    std::optional<JumpRecipe> jump() const;

    // Jump actions and the pointer glide (AppJump.cpp). glide moves the pointer along a
    // recipe's motion to `to`; a move or left drag of the user's hand stops it (stopGlide).
    // tryJump is the settings' try-out at the pointer, whatever the reduced-motion setting.
    void glide(const JumpRecipe::Motion& motion, double dur, Pointer::Point to,
               const std::string& dir, const Jumps::Rect& area);
    void stopGlide();
    void tryJump(const JumpRecipe& recipe);
    // The desktop asks for less motion (none known: motion allowed).
    bool reducedMotion() const;
    // Test seam: the glide's media clock (mediaNow when empty).
    std::function<double()> glideClock;
    // The running glide and its timer; steps go out as marked moves of this computer's
    // pointer.
    Glide glideTimer{[this] { return glideNow(); }, [this](Jumps::Point p) { glideStep(p); }};
    double glideNow() const;
    void glideStep(Jumps::Point p);
    // The status box's floating panel (AppStatus.cpp), made on first use; never shown in
    // simulation mode. showPanel follows the preference.
    StatusPanel& panel();
    void showPanel();
    std::unique_ptr<StatusPanel> panel_;
    // The desktop shows no tray: the status box stays up and a click on it opens the menu.
    // Asked once, then kept as trays come and go.
    bool noTray();
    std::optional<bool> noTray_;
    void trayChanged();

    // Calibration runs (AppCalibrate.cpp) and the accuracy check (AppCheck.cpp). While either
    // runs, every frame goes to it instead of the picker.
    MacOverlays overlays;
    std::optional<Calibrator> calibrator;
    std::optional<AccuracyCheck> checking;
    // Number the runs and the checks, so a timer or a spoken sentence's callback of one that
    // has ended or been replaced does nothing.
    int calRun = 0;
    int checkRun = 0;
    // only: the screen ids to learn, every screen when absent; PC screens only while their PC
    // is connected. No screen left: nothing happens.
    void startCalibration(const std::optional<std::vector<std::string>>& only, bool warmUp,
                          bool precise);
    // One frame of a run: the raw head and eye angles, mixed here with the preference.
    void calibrate(const std::optional<Angle>& head, const std::optional<Angle>& eye, double at);
    // The hold of the current point, 0 to 1, to the PC that shows it, when it has moved enough.
    void sendHold(double hold);
    void nextPrompt();
    // The dot at `at` on screen `on` and every other screen dark; camera: the camera prompt on
    // this computer's first screen.
    void showTarget(const std::optional<std::string>& on, CalCorner at, bool camera);
    void hideTargets();
    // Ends a run and stores nothing.
    void stopCalibration();
    void stopCheck();
    // A run the camera cannot serve ends at once: targets hidden, nothing stored, the sentence
    // in the guide and a note. another: a camera other than the one that went is there, so
    // the run can be started again with it.
    void endRun(const std::string& sentence, bool another = false);
    // Frames reach runs: the last one's time; a run that gets none for frameWait ends, checked
    // on every tick of the main timer. A frame the camera sent counts, whether it was read or
    // not, and whether or not it showed a face.
    double lastFrameAt = 0;
    static constexpr double frameWait = 5;
    void checkRunFrames();
    // Outside a run, a camera that is open and sends no frame for frameWait counts as stopped
    // and is tried again as a failing one is; on every tick of the main timer.
    void checkCameraFrames();
    // Escape ends a run while its targets show; it is reserved only then.
    void holdEscape(bool on);
    bool escapeHeld = false;
    void stopRunByEscape();
    // The end of a run that captured every step: fit, store, tell.
    void finishCalibration();
    // A setup switch ends a run first: one desk's steps never fit another's layout.
    void stopCalibrationForSetupChange();
    void startCheck();
    void nextCheck();
    // One frame of a check: the combined angle.
    void checkFeed(const std::optional<Angle>& angle, double at);
    void finishCheck();
    // Connects the desk views' re-learn of one screen; at launch.
    void wireCalibration();
    // Test seam: the clock of frames, runs and checks (the media clock when empty).
    std::function<double()> gazeClock;
    double gazeNow() const;

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
    // The camera went off during a recording: the prompts end now and the movie with why;
    // sentence, when given, says so when the movie has finished.
    void endRecording(const std::string& why, std::optional<std::string> sentence);
    std::optional<std::string> recordEndedBy_;
    std::optional<std::string> recordDir;
    std::vector<Script::Cue> recordCues;
    int recordRun = 0; // numbers the recordings, so a step of an earlier one does nothing
    bool scriptSaved = false;
    // Test seams: the prompts' timer and the media clock; QTimer and mediaNow when empty.
    std::function<void(double, std::function<void()>)> later;
    std::function<double()> recordClock;
    // Makes the camera engine on first use; the default camera when empty (a test seam).
    std::function<std::unique_ptr<GazeEngine>()> makeGaze;
    // Test seams: the line posted to a PC (the hub's post when empty) and the notes' media
    // clock (mediaNow when empty).
    std::function<void(const std::string& line, const std::string& pc)> postLine;
    std::function<double()> noteClock;

    // Keyboard and mouse capture (AppInput.cpp): what this computer's input does while focus
    // is on a PC, the hotkeys, and switching computer at the outer edges.
    // Every event the program posts carries this mark ("PVMR") and passes untouched.
    static constexpr std::int64_t injectedMark = 0x50564D52;
    // Starts watching input once the system allows it; without leave, asks again every 2 s.
    void installTap(bool prompt);
    // Decides one event of this computer's keyboard or mouse: true lets it pass.
    bool tapped(const InputEvent& e);
    bool key(int code, bool down);
    bool capsLock();
    bool mouse(const InputEvent& e);
    void edgeSwitch(const Screen& from, bool right);
    // The user's own keyboard or mouse was used while a PC drove the desk.
    void macInputUsed();
    // Takes or drops the grabs that keep input from this computer's programs while focus is
    // on a PC, and lets a PC go of what it no longer gets the release of.
    void updateGrabs();
    WheelAccumulator wheel;
    bool accessMissing = false; // the menu offers to allow input control
    // Per PC: the PC codes of keys and the buttons it was sent down and not yet up.
    std::map<std::string, std::set<int>> sentKeys, sentButtons;

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

    // The clipboard hand-over (AppClipboard.cpp). pushMacClipboard offers this computer's
    // pasteboard to a PC; clipArrived takes a PC's answer to "C".
    void pushMacClipboard(const std::string& pc);
    void clipArrived(const std::string& pc, std::optional<Clip> clip);
    bool allowed(const Clip& clip) const;
    // The hand-over's pasteboard: the desktop's, or the named one of simulation mode.
    Pasteboard& pasteboard();
    // The pasteboard's change count when each PC in pendingClip was asked: an answer that comes
    // after the user copied something here does not overwrite it.
    std::map<std::string, long> pendingCount;
    // Pushes, releases and asks to each PC go out in the order they were decided.
    ClipOrder clipOrder;
    // What waits to be sent to each PC, from the read of a clip for it to its socket; shared
    // with the hub. A clip that would pass its limit is not sent.
    std::shared_ptr<LinkBudget> linkBudget;
    // Test seam: a line for a PC's data link and what to call once it was written or not (the
    // hub's postData when empty).
    std::function<void(std::string line, const std::string& pc, std::function<void(bool)> done)>
        postDataLine;
    // The PC link's answers (AppLink.cpp) and the PCs' own input (AppRemote.cpp).
    // The PC of that screen when it is in the layout and connected now.
    std::optional<std::string> agentName(const std::string& id) const;
    // Gives every connected PC the jump effect in force, unless it already has it.
    void sendJump();
    // Every screen's number on it for 3 s from the latest call.
    void identify();
    // A PC's own keyboard or mouse was used: it may become the input source.
    void remoteActivity(const std::string& pc);
    // Whether the PC may drive this computer; asks the user once a run, without waiting.
    bool allowsInput(const std::string& pc);
    void inputAllowed(const std::string& pc);
    // One captured input line of a PC, without its "L ": played here, relayed or dropped.
    void remoteInput(const std::string& pc, const std::string& line);
    void typeOnMac(const std::string& pc, int scan, bool down);
    void clickOnMac(const std::string& pc, int button, bool down);
    void moveOnMac(std::int64_t dx, std::int64_t dy);
    void scrollOnMac(std::int64_t dy, std::int64_t dx);
    // On the hub's queue: a pointer move of the source PC; false sends it the main road.
    bool fastMove(const std::string& pc, std::int64_t dx, std::int64_t dy);
    // The PC's link is gone: what it held is released and the desk no longer follows it.
    void sourceLost(const std::string& pc);
    // The PC ended its capture with its own hotkey.
    void capTakenBack(const std::string& pc);
    // Lets go here of every key and button the PC holds, as its capture ended.
    void releaseInjected(const std::string& pc);
    void releaseAllInjected();
    struct Held {
        std::set<int> keys, buttons; // PC key codes and button numbers held down here
    };
    std::map<std::string, Held> injected;
    // Per PC: its keys and buttons down in the focus state machine, played here or relayed.
    std::map<std::string, Held> routerHeld;
    // Takes what the PC holds out of the focus state machine, as its capture ended.
    void releaseRouterHeld(const std::string& pc);
    std::uint64_t macFlags = 0; // the modifier flags the held keys give
    MoveRouteBox moveRoute;
    // Test seam: the question whether a PC may drive this computer (a message box when empty).
    std::function<void(const std::string& pc, const std::string& name)> askInput;

private:
    CommandLine commandLine_;
    bool simOnly_;
    Platform platform_;
    Layout layout_;
    std::optional<Router> router_;
    std::unique_ptr<QTimer> mainTimer_;
    std::unique_ptr<QTimer> storeTimer_; // stores what a drag or slide held back
    bool deskHeld_ = false;              // the layout changed since it was last stored
    // Stores "layout2" and "setups" when the layout changed since they were last stored.
    void storeDesk();
    std::unique_ptr<ScreenWatch> screenWatch_;
    std::unique_ptr<TestPort> testPort_;
    std::unique_ptr<DefaultsKeyValues> secretDefaults_;
    std::unique_ptr<SecretKeeper> secrets_;
    // What changes the hub's keys or lets PCs in waits until the stored keys are in (AppLink.cpp).
    bool keysIn_ = false;
    bool startAsked_ = false;
    std::vector<std::function<void()>> afterKeys_;
    void whenKeys(std::function<void()> fn);
    void keysArrived(PCKeys keys);
    // The new secret is stored: the successor starts and this run ends (AppSettings.cpp).
    void restartWithNewSecret();
    std::unique_ptr<Hub> hub_;       // after the secrets it reports to
    std::shared_ptr<HubLog> hubLog_; // the hub's lines, floods summarised
    std::unique_ptr<GazeEngine> gaze_;
    std::unique_ptr<DeskModel> desk_;
    std::unique_ptr<QWidget> deskWindow_; // after the model it shows
    std::unique_ptr<StatusMenu> menu_;
    std::unique_ptr<GuideWindow> guideWindow_;
    std::unique_ptr<QTimer> guideTimer_; // also the context of the guide's posted work
    // Work the camera hands to the main thread holds this weakly, so a frame that arrives
    // after the application object is gone is dropped.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    int identifyRound_ = 0; // only the latest "show numbers" takes them off
    // Input capture (AppInput.cpp).
    std::unique_ptr<QTimer> accessPoll_;
    bool tapOn_ = false;
    std::optional<std::string> pcOf(const std::string& id) const;
    std::optional<std::string> keysTarget() const;
    std::optional<std::string> mouseTarget() const;
    void sendTo(const std::string& pc, const std::string& line);
    void releaseSent();
    void grabChanged();
    void hotkeysChanged();
    std::set<int> hotkeysTold; // taken hotkeys the user was told of
    void updateMacFlags();
    MoveRoute::Bounds macBounds() const;

    Layout storedLayout() const;
    std::optional<Setups> setups_;
    // Merges the displays now and again whenever the desktop's or Qt's screens change.
    void watchDisplays();
    // The pointer route of the PC input path, refreshed after the displays changed.
    void updateMoveRoute();
    void wireDesk();
    void setUpSettings();
    void tick();
    void wireHub();
    void startHub();
    void wireGaze();
    void nobodyThere();
    void cameraFailed(CameraTrouble trouble, const std::string& why);
    void cameraOpened();
    void camerasChanged();
    // Another program let go of the camera: a busy one is tried at once.
    void cameraLetGo();
    void retryCamera();
    void scheduleCameraRetry(CameraTrouble trouble);
    // Asks the engine for the camera. A start that has neither opened nor failed after
    // frameWait (its driver does not answer) counts as a failure; cameraAsked_ is when it was
    // asked for, until then.
    void startCamera();
    std::optional<double> cameraAsked_;
    // Since the camera last opened: the frames it had sent when they were last counted, and
    // when that count last grew (or it opened). None while it is not open.
    struct FrameCount {
        long frames = 0;
        double at = 0;
    };
    std::optional<FrameCount> cameraFrames_;
    // The camera is wanted and cannot run: the reason kept, and logged when it changes.
    void troubled(CameraTrouble trouble, const std::string& why);
    // Numbers the tries, so a retry timer of an earlier one does nothing.
    int cameraTry_ = 0;
    // The reason logged when a retry brings the camera on.
    std::string cameraRetryWhy_;
    // Whether a run may start now. Without a camera it is refused; a camera that failed
    // before is tried at once and `again` runs once it opens. what: "Calibration" or "The
    // accuracy check"; why: the reason for turning the camera on.
    bool cameraForRun(std::function<void()> again, const std::string& what, const std::string& why);
    void refuseRun(const std::string& what, const std::string& sentence);
    std::function<void()> afterCameraOpens_;
    std::string waitingRun_;
    static std::optional<Jumps::File> loadJumps();
    void recordStep(int run, std::size_t i,
                    const std::shared_ptr<const std::vector<Script::Item>>& plan,
                    const Layout& start);
    void after(double secs, std::function<void()> fn);

    // AppFocus.cpp
    // This computer's pointer, or nothing: simulation mode never touches it.
    Pointer* pointer() const;
    void mouseMoved(const Router::Effect& e);
    void keysMoved(const Router::Effect& e);
    void post(const std::string& line, const std::string& pc);
    // The clipboard follows keyboard focus to another computer (AppClipboard.cpp).
    void handOffClipboard(const std::string& from, const std::string& to);
    // The PCs' own input captures follow focus (AppRemote.cpp).
    void updateCaps();

    // AppClipboard.cpp
    void wireClipboard(Hub& h);
    // share: what the line was counted as while it was prepared, handed on to the link.
    void postData(std::string line, const std::string& pc, std::function<void(bool)> done,
                  LinkBudget::Hold share = nullptr);
    std::string clipLabel(const std::string& pc) const;
    // Goes on with a push once the pasteboard was looked at; n is its change count then, and
    // ticket the push's place in clipOrder, taken when the push was decided.
    void pushLook(const std::string& pc, long n, ClipOrder::Ticket ticket, LinkBudget::Hold share,
                  MacClipboard::Look look);
    // A clip for pc is decided, a push or a PC's clip passed on: its place in clipOrder and its
    // share of what waits for pc. It replaces every earlier clip for pc that has not started
    // going out, whose memory and share are given back at once.
    ClipOrder::Ticket beginClip(const std::string& pc, LinkBudget::Hold& share);
    // A clip for pc did not go: logged each time, told in a note once until one goes again.
    void clipNotSent(const std::string& pc, const std::string& summary, bool refused);
    // A push handed to the link holds what was decided after it for ClipOrder::hold at most.
    void holdNoLonger(const std::string& pc, ClipOrder::Ticket ticket);
    std::set<std::string> notSentTold_;
    SerialQueue& clipQueue();
    std::unique_ptr<SerialQueue> clipQueue_; // reads, encodes and stores clips
};

} // namespace helm

Q_DECLARE_METATYPE(std::shared_ptr<helm::App::Run>)
