#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class QScreen;

namespace helm {

// Calls onChange once the screens settle after any change that alters the desk: a screen
// added or removed, a new primary screen, or a screen's geometry, orientation or physical size
// changing. One rearrangement fires several of these at once; they are run together as one.
class ScreenWatch : public QObject {
public:
    explicit ScreenWatch(std::function<void()> onChange);

    // Another source saw the desk change: runs together with whatever else changed now.
    void changed();

private:
    std::function<void()> onChange_;
    QTimer settle_;

    void watch(QScreen* screen);
};

} // namespace helm
