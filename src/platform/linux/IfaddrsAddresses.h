#pragma once

#include "platform/NetAddresses.h"

namespace helm {

// The addresses the kernel reports for this computer's interfaces (getifaddrs).
class IfaddrsAddresses : public NetAddresses {
public:
    std::vector<std::string> addresses() const override;
};

} // namespace helm
