#pragma once

#include "desk/DeskModel.h"

#include <QWidget>

#include <optional>
#include <string>

namespace helm {

// A fresh 3-D view of the desk for the switcher: a new one each time 3-D is chosen, so turn and
// zoom start afresh.
QWidget* makeDesk3DView(DeskModel& model, const std::optional<std::string>& target,
                        QWidget* parent);

} // namespace helm
