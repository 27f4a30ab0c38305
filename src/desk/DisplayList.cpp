#include "desk/DisplayList.h"

#include <cmath>
#include <map>
#include <set>

namespace helm {

namespace {

bool usable(const DisplayInfo& d) {
    for (double v : {d.x, d.y, d.w, d.h, d.mmW, d.mmH}) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return d.w > 0 && d.h > 0;
}

} // namespace

DisplayList DisplayList::check(std::vector<DisplayInfo> listed) {
    // Keys are numbered over the whole list, so a monitor's key does not change when its twin
    // reports no usable frame for a moment. A suffix must not land on a key the list already
    // holds as it is.
    std::set<std::string> taken;
    for (const DisplayInfo& d : listed) {
        taken.insert(d.key);
    }
    std::set<std::string> seen;
    std::map<std::string, int> next;
    for (DisplayInfo& d : listed) {
        if (seen.insert(d.key).second) {
            continue;
        }
        int& n = next.try_emplace(d.key, 2).first->second;
        std::string key;
        do {
            key = d.key + "#" + std::to_string(n++);
        } while (taken.count(key) != 0);
        taken.insert(key);
        d.key = key;
    }
    DisplayList out;
    for (DisplayInfo& d : listed) {
        (usable(d) ? out.kept : out.unplaced).push_back(std::move(d));
    }
    return out;
}

DisplayList macDisplays(std::vector<DisplayInfo> listed) {
    return DisplayList::check(std::move(listed));
}

} // namespace helm
