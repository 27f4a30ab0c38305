#include "desk/DisplayList.h"
#include "desk/Layout.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace helm {

namespace {

// A known screen takes what its display reports that can be used; it never moves.
void refresh(Screen& s, const DisplayInfo& d) {
    s.name = d.name;
    s.display = d.index;
    if (std::isfinite(d.mmW) && std::isfinite(d.mmH)) {
        s.mm = std::vector<double>{d.mmW, d.mmH};
    }
    if (std::isfinite(d.w) && std::isfinite(d.h) && d.w > 0 && d.h > 0) {
        s.px = std::vector<double>{d.w, d.h};
    }
    if (!s.learned) {
        if (std::optional<Extent> deg = Layout::degrees(d)) {
            s.width = deg->w;
            s.height = deg->h;
        }
    }
}

} // namespace

std::vector<std::string> Layout::sync(const std::optional<std::string>& computer,
                                      const std::string& computerName,
                                      std::vector<DisplayInfo> listed) {
    DisplayList list = DisplayList::check(std::move(listed));
    std::vector<DisplayInfo>& displays = list.kept;

    const std::string prefix = computer.value_or("mac") + "/";
    std::set<std::string> ids;
    for (const auto* group : {&list.kept, &list.unplaced}) {
        for (const DisplayInfo& d : *group) {
            ids.insert(prefix + d.key);
        }
    }
    std::erase_if(screens,
                  [&](const Screen& s) { return s.computer == computer && ids.count(s.id) == 0; });

    // Without a usable frame a display cannot be placed; a known one keeps its screen as it is,
    // as a monitor may report nothing for a moment while it wakes or is reconfigured.
    std::vector<std::string> lines;
    for (const DisplayInfo& d : list.unplaced) {
        auto known = std::find_if(screens.begin(), screens.end(),
                                  [&](const Screen& s) { return s.id == prefix + d.key; });
        if (known != screens.end()) {
            refresh(*known, d);
            lines.push_back("display " + d.key + " (" + d.name +
                            ") reported no usable frame or size, its screen is kept");
        } else {
            lines.push_back("display " + d.key + " (" + d.name +
                            ") skipped: no usable frame or size");
        }
    }

    std::set<int> used;
    for (const Screen& s : screens) {
        used.insert(s.number);
    }

    // A PC's new screens start 4° beyond the right edge of everything already placed.
    double start = 0;
    if (computer) {
        start = 4;
        if (!screens.empty()) {
            double edge = -std::numeric_limits<double>::infinity();
            for (const Screen& s : screens) {
                edge = std::max(edge, rightSign * s.yaw + s.width * 0.5);
            }
            start = edge + 4;
        }
    }

    const DisplayInfo* ref = nullptr;
    double minX = 0;
    if (!displays.empty()) {
        auto primary = std::find_if(displays.begin(), displays.end(),
                                    [](const DisplayInfo& d) { return d.primary; });
        ref = primary != displays.end() ? &*primary : &displays.front();
        minX =
            std::min_element(displays.begin(), displays.end(),
                             [](const DisplayInfo& a, const DisplayInfo& b) { return a.x < b.x; })
                ->x;
    }
    // Copied before sorting moves the displays around.
    const DisplayInfo refCopy = ref != nullptr ? *ref : DisplayInfo{};
    const double rcx = refCopy.x + refCopy.w / 2;
    const double rcy = refCopy.y + refCopy.h / 2;

    std::stable_sort(displays.begin(), displays.end(),
                     [](const DisplayInfo& a, const DisplayInfo& b) { return a.index < b.index; });
    for (const DisplayInfo& d : displays) {
        const std::string id = prefix + d.key;
        // Every kept display has a usable size, so both have angles.
        const Extent deg = *degrees(d);
        auto known = std::find_if(screens.begin(), screens.end(),
                                  [&](const Screen& s) { return s.id == id; });
        if (known != screens.end()) {
            refresh(*known, d);
            continue;
        }
        int n = 1;
        while (used.count(n) != 0) {
            ++n;
        }
        used.insert(n);

        const Extent refDeg = *degrees(refCopy);
        const double m = (refCopy.w / refDeg.w + d.w / deg.w) * 0.5; // points per degree
        const double yaw0 =
            computer ? start + (d.x - minX) / m + deg.w * 0.5 : ((d.x + d.w / 2) - rcx) / m;

        Screen s;
        s.id = id;
        s.number = n;
        s.name = d.name;
        s.computer = computer;
        s.computerName = computerName;
        s.display = d.index;
        s.yaw = yaw0 * rightSign;
        s.pitch = -((d.y + d.h / 2) - rcy) / m;
        s.width = deg.w;
        s.height = deg.h;
        s.mm = std::vector<double>{d.mmW, d.mmH};
        s.px = std::vector<double>{d.w, d.h};
        screens.push_back(std::move(s));
    }
    return lines;
}

} // namespace helm
