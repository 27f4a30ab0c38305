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
    DisplayList out;
    for (DisplayInfo& d : listed) {
        if (usable(d)) {
            out.kept.push_back(std::move(d));
        } else {
            out.skipped.push_back("display " + d.key + " (" + d.name +
                                  ") skipped: no usable frame or size");
        }
    }
    // A suffix must not land on a key the list already holds as it is.
    std::set<std::string> taken;
    for (const DisplayInfo& d : out.kept) {
        taken.insert(d.key);
    }
    std::set<std::string> seen;
    std::map<std::string, int> next;
    for (DisplayInfo& d : out.kept) {
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
    return out;
}

DisplayList macDisplays(std::vector<DisplayInfo> listed) {
    return DisplayList::check(std::move(listed));
}

} // namespace helm
