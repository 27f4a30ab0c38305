#include "ui/Palette.h"

#include <algorithm>
#include <set>

namespace helm {

QColor computerColor(const Screen& screen, const Layout& layout) {
    // This computer first, then the PCs in id order, so a PC keeps its colour however the
    // screens are ordered.
    std::set<std::string> pcs;
    for (const Screen& s : layout.screens) {
        if (s.computer) {
            pcs.insert(*s.computer);
        }
    }
    std::size_t index = 0;
    if (screen.computer) {
        auto it = pcs.find(*screen.computer);
        if (it != pcs.end()) {
            index = 1 + static_cast<std::size_t>(std::distance(pcs.begin(), it));
        }
    }
    static const QColor blue = QColor::fromRgbF(0.35f, 0.62f, 1.0f);
    static const QColor purple = QColor::fromRgbF(0.75f, 0.52f, 1.0f);
    switch (index % 4) {
    case 1:
        return blue;
    case 2:
        return purple;
    case 3:
        return gWarn;
    default:
        return gLive;
    }
}

} // namespace helm
