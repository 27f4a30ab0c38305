#pragma once

#include "desk/CalRecord.h"
#include "desk/Layout.h"

#include <optional>

namespace helm {

// Joins a new calibration run with the stored record: a run that began at the camera replaces
// it whole; a re-learn of some screens replaces only those screens' points.
CalRecord merged(const CalRecord& fresh, const std::optional<CalRecord>& into);

// Fits the layout to a calibration record with the given eye mix (0 to 1): eye sign, bias, yaw
// sign, seat, keyboard point, and the box and rectangle of every screen the record covers.
void apply(const CalRecord& record, Layout& layout, double mix);

} // namespace helm
