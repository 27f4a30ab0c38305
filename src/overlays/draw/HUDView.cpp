#include "overlays/draw/HUDView.h"

#include <QVBoxLayout>

namespace helm {

HUDView::HUDView(const QRect& frame, QWidget* parent) : QWidget(parent), panel_(model, this) {
    setGeometry(frame);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(&panel_);
}

void HUDView::setState(const State& state) {
    if (!(state == model.state())) {
        model.setState(state);
    }
}

} // namespace helm
