#include "gaze/feed/HoldProgress.h"

namespace helm {

void HoldProgress::setValue(double value) {
    if (value == value_)
        return;
    value_ = value;
    emit changed();
}

} // namespace helm
