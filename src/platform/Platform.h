#pragma once

#include "platform/DisplaySource.h"
#include "platform/LoginItem.h"
#include "platform/ScreenLock.h"
#include "platform/SecretStore.h"
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
    std::unique_ptr<LoginItem> loginItem;
    std::unique_ptr<Workspace> workspace;
    // The camera source joins here once it leaves the gaze library.
};

// The desktop's own services: the session's secret service, under secretService's items,
// and its lock signals.
Platform x11Platform(const std::string& secretService);
// Services that never touch the user's desk: secrets in memory, a lock only tests trigger.
Platform simPlatform();

} // namespace helm
