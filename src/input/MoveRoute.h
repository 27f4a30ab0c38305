#pragma once

#include <algorithm>
#include <optional>
#include <string>

namespace helm {

// Where the pointer moves of the PC that is the input source go: played on this computer or
// relayed to the PC whose screen holds mouse focus. Read on the hub's queue for each move.
struct MoveRoute {
    // The union of this computer's displays, in the shared frame (points).
    struct Bounds {
        double minX = 0, minY = 0, maxX = 0, maxY = 0;

        bool empty() const { return maxX <= minX || maxY <= minY; }
        double midX() const { return (minX + maxX) / 2; }
        double midY() const { return (minY + maxY) / 2; }
        // A point moved by (dx, dy) and kept on the displays: at most one point inside the
        // right and bottom edges.
        std::pair<double, double> moved(double x, double y, double dx, double dy) const {
            return {std::clamp(x + dx, minX, std::max(minX, maxX - 1)),
                    std::clamp(y + dy, minY, std::max(minY, maxY - 1))};
        }
    };

    std::string pc;                   // the input source these moves come from
    bool toMac = false;               // played here
    std::optional<std::string> agent; // relayed to this PC
    Bounds bounds;
    bool drag = false; // a PC holds the left button down here
};

} // namespace helm
