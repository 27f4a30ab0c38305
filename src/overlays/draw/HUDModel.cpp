#include "overlays/draw/HUDModel.h"

namespace helm {

void HUDModel::setState(HUDState state) {
    state_ = std::move(state);
    emit changed();
}

void HUDModel::setNote(std::optional<std::string> note) {
    note_ = std::move(note);
    emit changed();
}

} // namespace helm
