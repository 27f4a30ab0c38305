#pragma once

#include "platform/CameraSource.h"
#include "platform/DesktopWindows.h"
#include "platform/DisplaySource.h"
#include "platform/InputService.h"
#include "platform/LoginItem.h"
#include "platform/NetAddresses.h"
#include "platform/Pasteboard.h"
#include "platform/Pointer.h"
#include "platform/PointerPoster.h"
#include "platform/ReduceMotion.h"
#include "platform/ScreenLock.h"
#include "platform/SecretStore.h"
#include "platform/Speech.h"
#include "platform/StatusItem.h"
#include "platform/Workspace.h"

#include <functional>
#include <memory>
#include <string>

namespace helm {

// The services the program takes from the system, chosen once at launch: the real ones on an
// X11 desktop, in-memory ones in simulation mode and tests. Subsystems call these and never
// ask which set they were given.
struct Platform {
    std::unique_ptr<SecretStore> secrets;
    std::unique_ptr<ScreenLock> screenLock;
    std::unique_ptr<DisplaySource> displays;
    // This computer's pointer; none in simulation mode, which never moves it.
    std::unique_ptr<Pointer> pointer;
    // The icon in the tray; none where there is nothing to show it in.
    std::unique_ptr<StatusItem> statusItem;
    // This computer's keyboard and mouse; none in simulation mode, which never captures input.
    std::unique_ptr<InputService> input;
    // Pointer moves from a PC, posted straight from the link's thread; none in simulation mode.
    std::unique_ptr<PointerPoster> poster;
    // Starting at login, and opening folders and programs.
    std::unique_ptr<LoginItem> loginItem;
    std::unique_ptr<Workspace> workspace;
    // The overlay panels' window system and the desktop's reduced-motion setting.
    std::unique_ptr<DesktopWindows> windows;
    std::unique_ptr<ReduceMotion> reduceMotion;
    // Make the speech engine and the chime player when first needed; empty, or giving none,
    // where there is no sound.
    std::function<std::unique_ptr<Speech>(std::function<void(const std::string&)> log)> speech;
    std::function<std::unique_ptr<Chimes>()> chimes;
    // The clipboard the hand-over uses: the desktop's, or a named one in memory.
    std::unique_ptr<Pasteboard> pasteboard;
    // This computer's network addresses: the system's, or loopback alone in simulation mode.
    std::unique_ptr<NetAddresses> addresses;
    // The camera the gaze engine reads; none where no camera may be used.
    std::shared_ptr<CameraSource> camera;
};

// The desktop's own services: the session's secret service, under secretService's items (a
// private file where none answers), its lock signals, the X pointer and the keyboard and mouse
// (whose lines go to log, as the secrets' do). The tray icon is the application's own to add.
Platform x11Platform(const std::string& secretService, InputService::Log log = {});
// Services that never touch the user's desk: secrets in memory, a lock only tests trigger, no
// pointer, no input capture, a status item that only remembers and no network but loopback.
Platform simPlatform();

} // namespace helm
