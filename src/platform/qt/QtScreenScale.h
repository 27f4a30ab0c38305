#pragma once

#include "platform/ScreenScale.h"

namespace helm {

// The toolkit's screens with their ratios, read now. Qt keeps each screen's top-left corner
// where the server puts it and divides only its size by the ratio, so the device corner is
// the logical one.
ScreenScale qtScreenScale();

} // namespace helm
