#include "platform/Platform.h"
#include "platform/sim/FakeDisplaySource.h"
#include "platform/sim/FakeScreenLock.h"
#include "platform/sim/MemorySecretStore.h"

namespace helm {

Platform simPlatform() {
    Platform p;
    p.secrets = std::make_unique<MemorySecretStore>();
    p.screenLock = std::make_unique<FakeScreenLock>();
    p.displays = std::make_unique<FakeDisplaySource>();
    return p;
}

} // namespace helm
