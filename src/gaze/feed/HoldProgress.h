#pragma once

#include <QObject>

namespace helm {

// How far the hold on the current calibration point has come, 0 to 1; the overlay's ring
// draws it. Main thread only.
class HoldProgress : public QObject {
    Q_OBJECT
public:
    HoldProgress() = default;

    double value() const { return value_; }
    void setValue(double value);

signals:
    void changed();

private:
    double value_ = 0;
};

} // namespace helm
