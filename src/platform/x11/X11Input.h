#pragma once

#include "platform/InputService.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QSocketNotifier;
struct _XDisplay;

namespace helm {

// The keyboard and mouse of an X11 session, on a connection of its own so nothing it does
// waits behind the toolkit's. XInput 2 raw events observe every device even while another
// client holds a grab; passive key grabs reserve the hotkeys; active grabs swallow input while
// focus is on a PC; XTest posts, and what we posted comes back marked (another program's XTest
// events count as the user's).
class X11Input : public InputService {
public:
    // Opens the display (empty: $DISPLAY); nothing when it cannot be reached. A hotkey another
    // program holds is tried again every hotkeyRetry.
    static std::unique_ptr<X11Input>
    open(const std::string& display, Log log,
         std::chrono::milliseconds hotkeyRetry = std::chrono::seconds(5));
    ~X11Input() override;
    X11Input(const X11Input&) = delete;
    X11Input& operator=(const X11Input&) = delete;

    bool trusted() override { return hasXI22 && hasXTest; }
    bool iso() const override { return iso_; }
    bool observe(Handler handler) override;
    void grabHotkeys(const std::vector<Hotkey>& keys) override;
    const std::set<int>& takenHotkeys() const override { return taken; }
    void onHotkeysChange(std::function<void()> callback) override {
        hotkeysChanged = std::move(callback);
    }
    void grabEscape(bool on) override;
    void wantGrabs(bool keyboard, bool pointer) override;
    bool keyboardGrabbed() const override { return haveKeyboard; }
    bool pointerGrabbed() const override { return havePointer; }
    void onGrabChange(std::function<void()> callback) override {
        grabChanged = std::move(callback);
    }
    void postKey(int code, bool down) override;
    void postButton(int number, bool down) override;
    void postMotion(double x, double y) override;
    void postScroll(double dy, double dx) override;
    void releasePosted() override;

    // Read by the Xlib error handler: a hotkey another client holds comes back as an error.
    void xError(unsigned long serial, int code, int request);

private:
    struct Axis {
        bool absolute = false;
        int scroll = 0; // 0 none, 1 vertical, 2 horizontal
        double increment = 1;
        double last = 0;
        bool hasLast = false;
    };
    struct Device {
        bool xtest = false;
        std::map<int, Axis> axes;
    };
    struct HotkeyRequests {
        unsigned long first, last;
        std::string name;
        int code; // the hotkey's Mac code, −1 for Escape
    };
    // The eight modifier state bits: the Mac flags each one's keys give, and which have keys.
    struct ModifierRows {
        std::array<std::uint64_t, 8> flags{};
        unsigned used = 0;
    };

    X11Input(_XDisplay* dpy, _XDisplay* watch, Log log, std::chrono::milliseconds hotkeyRetry);
    void drain();
    void scheduleDrain();
    void handleGeneric(void* cookie);
    // xtest: the event came through XTest, so it may be one we posted.
    void rawKey(int keycode, bool press, unsigned long time, bool xtest);
    void rawButton(int button, bool press, bool emulated, bool xtest);
    void rawMotion(const void* raw, Device& device, bool xtest);
    void coreKeyPress(int keycode, unsigned long time);
    void report(InputEvent e, bool withLocation);
    void refreshDevices();
    // The primary monitor's top-left corner in root coordinates: the shared frame's (0, 0).
    void refreshOrigin();
    void buildKeyTable();
    void resync(bool report);
    int keycodeForMac(int code) const;
    ModifierRows modifierRows() const;
    void reserveHotkeys(bool all);
    void grabHotkey(const Hotkey& h, int keycode);
    void settleHotkeys();
    // The server's locked modifiers now.
    unsigned lockedMods() const;
    // Puts back this computer's locks that a lock key's press or release under the keyboard
    // grab changed: the key went to the PC, not here. True when it did.
    bool keepLocks(int keycode, bool press);

    void attemptGrabs();
    bool grabPointerHere();
    void releaseKeyboard();
    void releasePointer();

    // Grabs, hotkeys, posting and the grab's own key events go on one connection; raw events
    // come on another, as the server withholds raw events from a client while its own grab is
    // active.
    _XDisplay* dpy;
    _XDisplay* watch;
    unsigned long root;
    Log log;
    Handler handler;
    std::function<void()> grabChanged, hotkeysChanged;
    QObject context;
    std::unique_ptr<QSocketNotifier> notifier, watchNotifier;
    QTimer retryTimer, hotkeyTimer;
    bool draining = false, drainQueued = false, grabNotice = false, hotkeyNotice = false;
    std::deque<InputEvent> pending;

    bool hasXI22 = false, hasXTest = false, iso_ = false;
    int xiOpcode = 0;
    std::map<int, Device> devices;
    std::array<int, 256> macOf{};               // X key code → Mac code, −1 for none
    std::map<int, int> keycodeOf;               // Mac code → the X key code posted for it
    std::array<bool, 256> held{};               // keys down, from raw events
    std::array<unsigned long, 256> pressTime{}; // server time of each held key's press
    std::uint64_t sideBits = 0;
    int randrEvent = -1; // RandR's first event number, −1 without it
    double originX = 0, originY = 0;
    bool capsLock = false;
    std::array<unsigned, 256> lockMods{};  // the lock modifiers each key turns, 0 for most
    unsigned locksHere = 0;                // the locked modifiers as the keyboard grab began
    std::array<bool, 256> lockSwallowed{}; // lock keys pressed under the keyboard grab
    int buttonsLeft = 0, buttonsRight = 0, buttonsOther = 0;
    double restX = 0, restY = 0;

    bool wantKeyboard = false, wantPointer = false;
    bool haveKeyboard = false, havePointer = false;
    bool gaveUpKeyboard = false, gaveUpPointer = false;
    std::chrono::steady_clock::time_point retryUntil;
    unsigned long confine = 0;

    std::vector<Hotkey> hotkeys;
    std::vector<HotkeyRequests> hotkeyRequests;
    std::set<int> hotkeyKeys;           // X key codes of the hotkeys reserved
    std::vector<unsigned> hotkeyStates; // the modifier states each is grabbed with
    std::set<int> taken;                // Mac codes of the hotkeys another program holds
    std::set<int> refused;              // refusals the server sent that are not yet settled
    std::set<std::string> takenReported;
    std::set<int> postedKeys, postedButtons;
    double postRestY = 0, postRestX = 0;
};

} // namespace helm
