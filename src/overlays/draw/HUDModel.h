#pragma once

#include "overlays/draw/HUDState.h"

#include <QObject>

#include <optional>
#include <string>

namespace helm {

// The status box's model: its state and, for a few seconds at a time, a note. Every write
// announces itself; main thread only.
class HUDModel : public QObject {
    Q_OBJECT
public:
    HUDModel() = default;

    const HUDState& state() const { return state_; }
    void setState(HUDState state);
    const std::optional<std::string>& note() const { return note_; }
    void setNote(std::optional<std::string> note);

signals:
    void changed();

private:
    HUDState state_;
    std::optional<std::string> note_;
};

} // namespace helm
