#include "desk/DeskModel.h"

#include <utility>

namespace helm {

DeskModel::DeskModel(Layout l) : layout(std::move(l)) {
    if (!layout.screens.empty()) {
        selected = layout.screens.front().id;
    }
}

void DeskModel::edit(const std::function<void(Layout&)>& change) {
    Layout copy = layout;
    change(copy);
    layout = copy;
    changed();
    if (onChange) {
        onChange(copy);
    }
}

void DeskModel::editScreen(const std::string& id, const std::function<void(Screen&)>& change) {
    edit([&](Layout& l) {
        for (Screen& s : l.screens) {
            if (s.id == id) {
                change(s);
                break;
            }
        }
    });
}

} // namespace helm
