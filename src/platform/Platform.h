#pragma once

#include "platform/DisplaySource.h"
#include "platform/InputService.h"
#include "platform/ScreenLock.h"
#include "platform/SecretStore.h"

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
    // This computer's keyboard and mouse; none in simulation mode, which never captures input.
    std::unique_ptr<InputService> input;
    // The camera source joins here once it leaves the gaze library.
};

// The desktop's own services: the session's secret service, under secretService's items,
// and its lock signals. The input service writes its lines to log.
Platform x11Platform(const std::string& secretService, InputService::Log log = {});
// Services that never touch the user's desk: secrets in memory, a lock only tests trigger.
Platform simPlatform();

} // namespace helm
