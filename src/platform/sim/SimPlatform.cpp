#include "platform/Platform.h"
#include "platform/sim/FakeDesktopWindows.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/sim/FakeScreenLock.h"
#include "platform/sim/FixedAddresses.h"
#include "platform/sim/MemoryLoginItem.h"
#include "platform/sim/MemoryPasteboard.h"
#include "platform/sim/MemorySecretStore.h"
#include "platform/sim/RecordingStatusItem.h"
#include "platform/sim/RecordingWorkspace.h"
#include "platform/sim/SimReduceMotion.h"

namespace helm {

Platform simPlatform() {
    Platform p;
    p.secrets = std::make_unique<MemorySecretStore>();
    p.screenLock = std::make_unique<FakeScreenLock>();
    p.displays = std::make_unique<FakeDisplaySource>();
    p.statusItem = std::make_unique<RecordingStatusItem>();
    p.loginItem = std::make_unique<MemoryLoginItem>();
    p.workspace = std::make_unique<RecordingWorkspace>();
    p.windows = std::make_unique<FakeDesktopWindows>();
    p.reduceMotion = std::make_unique<SimReduceMotion>();
    p.pasteboard = std::make_unique<MemoryPasteboard>();
    p.addresses = std::make_unique<FixedAddresses>(std::vector<std::string>{"127.0.0.1"});
    return p;
}

} // namespace helm
