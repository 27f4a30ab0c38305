#include "windows/Desk3DHost.h"

#include "windows/stage/Desk3DView.h"

namespace helm {

QWidget* makeDesk3DView(DeskModel& model, const std::optional<std::string>& target,
                        QWidget* parent) {
    return new Desk3DView(model, target, parent);
}

} // namespace helm
