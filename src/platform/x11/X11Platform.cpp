#include "platform/Platform.h"
#include "platform/linux/DbusScreenLock.h"
#include "platform/linux/DesktopWorkspace.h"
#include "platform/linux/LibsecretStore.h"
#include "platform/linux/XdgLoginItem.h"
#include "platform/sim/FakeDisplaySource.h"

namespace helm {

Platform x11Platform(const std::string& secretService) {
    Platform p;
    p.secrets = std::make_unique<LibsecretStore>(secretService);
    p.screenLock = std::make_unique<DbusScreenLock>();
    p.displays = std::make_unique<FakeDisplaySource>();
    p.loginItem = std::make_unique<XdgLoginItem>(XdgLoginItem::forThisProgram());
    p.workspace = std::make_unique<DesktopWorkspace>();
    return p;
}

} // namespace helm
