#include "app/menu/MenuModel.h"

namespace helm {

void MenuModel::setHeader(Header header) {
    if (header == header_) {
        return;
    }
    header_ = std::move(header);
    emit changed();
}

} // namespace helm
