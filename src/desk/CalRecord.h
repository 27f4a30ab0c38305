#pragma once

#include "desk/Angle.h"
#include "desk/CalStep.h"
#include "desk/Json.h"
#include "desk/V3.h"

#include <optional>
#include <vector>

namespace helm {

// The captured calibration steps, kept inside the layout. Entry k of `heads`, `eyes` and
// `positions` belongs to entry k of `steps`.
struct CalRecord {
    std::vector<CalStep> steps;
    std::vector<Angle> heads;                 // mean head angle held during the step
    std::vector<Angle> eyes;                  // mean eye offset held during the step
    std::vector<std::optional<V3>> positions; // mean head position, cm; absent when unknown

    friend bool operator==(const CalRecord&, const CalRecord&) = default;

    json::Json toJson() const;
    // Refuses a record whose `heads` or `eyes` do not match its steps one to one: everything
    // that reads the record indexes the lists in parallel. Fewer positions than steps is
    // allowed (the missing ones are unknown); positions past the last step are left out.
    static CalRecord fromJson(const json::Json& j);
};

} // namespace helm
