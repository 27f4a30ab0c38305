#pragma once

#include "desk/DeskModel.h"
#include "desk/Screen.h"

#include <vector>

namespace helm {

// A desk calibrated around the default seat, every screen placed by its angles and the second
// one looked at: pictures of the desk drawn without a camera start from it.
DeskModel calibratedDesk(std::vector<Screen> screens);

// The desk shown in pictures of the program: this computer's laptop below, a PC with two
// monitors to the right.
DeskModel sampleDesk();

} // namespace helm
