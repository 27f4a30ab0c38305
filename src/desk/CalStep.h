#pragma once

#include "desk/CalTarget.h"
#include "desk/Json.h"

#include <string>

namespace helm {

// One calibration step: what to look at and the sentence shown and spoken for it.
struct CalStep {
    CalTarget target;
    std::string prompt;

    friend bool operator==(const CalStep&, const CalStep&) = default;

    json::Json toJson() const;
    static CalStep fromJson(const json::Json& j);
};

} // namespace helm
