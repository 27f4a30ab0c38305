#include "platform/Platform.h"
#include "platform/linux/DbusScreenLock.h"
#include "platform/linux/LibsecretStore.h"
#include "platform/x11/X11DisplaySource.h"

namespace helm {

Platform x11Platform(const std::string& secretService) {
    Platform p;
    p.secrets = std::make_unique<LibsecretStore>(secretService);
    p.screenLock = std::make_unique<DbusScreenLock>();
    p.displays = std::make_unique<X11DisplaySource>();
    return p;
}

} // namespace helm
