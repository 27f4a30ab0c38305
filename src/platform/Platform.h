#pragma once

#include "platform/DisplaySource.h"
#include "platform/InputService.h"
#include "platform/LoginItem.h"
#include "platform/Pointer.h"
#include "platform/PointerPoster.h"
#include "platform/ScreenLock.h"
#include "platform/SecretStore.h"
#include "platform/StatusItem.h"
#include "platform/Workspace.h"

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
    // The camera source joins here once it leaves the gaze library.
};

// The desktop's own services: the session's secret service, under secretService's items,
// its lock signals, the X pointer and the keyboard and mouse (whose lines go to log). The tray
// icon is the application's own to add.
Platform x11Platform(const std::string& secretService, InputService::Log log = {});
// Services that never touch the user's desk: secrets in memory, a lock only tests trigger, no
// pointer, no input capture and a status item that only remembers.
Platform simPlatform();

} // namespace helm
