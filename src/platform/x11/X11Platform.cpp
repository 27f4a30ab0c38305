#include "platform/Platform.h"
#include "platform/linux/DbusScreenLock.h"
#include "platform/linux/LibsecretStore.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/x11/X11Pointer.h"

namespace helm {

Platform x11Platform(const std::string& secretService) {
    Platform p;
    p.secrets = std::make_unique<LibsecretStore>(secretService);
    p.screenLock = std::make_unique<DbusScreenLock>();
    p.displays = std::make_unique<FakeDisplaySource>();
    p.pointer = std::make_unique<X11Pointer>();
    return p;
}

} // namespace helm
