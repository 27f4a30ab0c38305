#pragma once

#include "overlays/draw/HUDModel.h"
#include "overlays/draw/PanelView.h"

#include <QWidget>

namespace helm {

// The status box as a widget that owns its model. The application sets its state on every
// refresh; an equal state is not published, so the box is redrawn only when it changes.
class HUDView : public QWidget {
public:
    using State = HUDState;

    explicit HUDView(const QRect& frame = QRect(0, 0, 280, 74), QWidget* parent = nullptr);

    HUDModel model;

    const State& state() const { return model.state(); }
    void setState(const State& state);
    const std::optional<std::string>& note() const { return model.note(); }
    void setNote(std::optional<std::string> note) { model.setNote(std::move(note)); }

private:
    PanelView panel_;
};

} // namespace helm
