#include "platform/Platform.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/sim/FakeScreenLock.h"
#include "platform/sim/MemorySecretStore.h"
#include "platform/sim/RecordingStatusItem.h"

namespace helm {

Platform simPlatform() {
    Platform p;
    p.secrets = std::make_unique<MemorySecretStore>();
    p.screenLock = std::make_unique<FakeScreenLock>();
    p.displays = std::make_unique<FakeDisplaySource>();
    p.statusItem = std::make_unique<RecordingStatusItem>();
    return p;
}

} // namespace helm
