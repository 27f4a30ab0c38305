#pragma once

#include "platform/NetAddresses.h"

#include <utility>

namespace helm {

// Addresses given up front, so that what the link and the guide see of the network does not
// depend on the machine running the tests.
class FixedAddresses : public NetAddresses {
public:
    explicit FixedAddresses(std::vector<std::string> list) : list_(std::move(list)) {}
    std::vector<std::string> addresses() const override { return list_; }

private:
    std::vector<std::string> list_;
};

} // namespace helm
