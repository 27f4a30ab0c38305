#pragma once

#include "platform/ReduceMotion.h"

namespace helm {

// The setting as a flag that tests and simulation mode set by hand.
class SimReduceMotion : public ReduceMotion {
public:
    bool on = false;
    bool reduced() override { return on; }
};

} // namespace helm
