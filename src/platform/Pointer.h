#pragma once

#include <optional>

namespace helm {

// This computer's pointer in the shared display frame: the primary display's top-left corner
// is (0, 0) and y grows downwards. Main thread only.
class Pointer {
public:
    struct Point {
        double x = 0;
        double y = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };

    virtual ~Pointer() = default;

    // Where the pointer is, or nothing when it cannot be read.
    virtual std::optional<Point> location() = 0;
    // Moves the pointer there at once.
    virtual void warp(Point to) = 0;
    // Moves the pointer there as a posted, marked motion event: the program's own input
    // watcher lets it pass, other programs see an ordinary move.
    virtual void postMove(Point to) = 0;
    // Detached, the pointer stays still while the mouse drives another computer.
    virtual void setAttached(bool attached) = 0;
    // The desktop asks programs to keep motion to a minimum.
    virtual bool reducedMotion() = 0;
};

} // namespace helm
