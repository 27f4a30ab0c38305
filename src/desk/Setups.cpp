#include "desk/Setups.h"

#include <algorithm>

namespace helm {

std::set<std::string> Setups::Setup::macScreens() const {
    std::set<std::string> out;
    for (const Screen& s : layout.screens) {
        if (s.local()) {
            out.insert(s.id);
        }
    }
    return out;
}

int Setups::Setup::pcs(const std::set<std::string>& online) const {
    std::set<std::string> mine;
    for (const Screen& s : layout.screens) {
        if (s.computer && online.count(*s.computer) != 0) {
            mine.insert(*s.computer);
        }
    }
    return int(mine.size());
}

json::Json Setups::Setup::toJson() const {
    return {{"name", name}, {"layout", layout.toJson()}};
}

Setups::Setup Setups::Setup::fromJson(const json::Json& j, std::vector<std::string>* dropped) {
    std::string name = json::getString(j, "name");
    std::vector<std::string> lost;
    Layout layout = Layout::fromJson(json::field(j, "layout"), &lost);
    if (dropped) {
        for (const std::string& line : lost) {
            dropped->push_back("setup " + name + ": " + line);
        }
    }
    return {std::move(name), std::move(layout)};
}

Setups::Setup* Setups::find(const std::string& name) {
    auto it =
        std::find_if(list.begin(), list.end(), [&](const Setup& s) { return s.name == name; });
    return it == list.end() ? nullptr : &*it;
}

const Setups::Setup* Setups::find(const std::string& name) const {
    return const_cast<Setups*>(this)->find(name);
}

void Setups::store(const Layout& layout) {
    if (Setup* s = find(active)) {
        s->layout = layout;
    } else {
        list.push_back({active, layout});
    }
}

bool Setups::fits(const std::set<std::string>& macScreens) const {
    return std::any_of(list.begin(), list.end(),
                       [&](const Setup& s) { return s.macScreens() == macScreens; });
}

std::optional<std::string> Setups::better(const std::set<std::string>& macScreens,
                                          const std::set<std::string>& online) const {
    const Setup* best = nullptr;
    int bestCount = -1;
    bool activeIsCandidate = false;
    const Setup* current = find(active);
    for (const Setup& s : list) {
        if (s.macScreens() != macScreens) {
            continue;
        }
        if (current && s == *current) {
            activeIsCandidate = true;
        }
        // Ties keep the earlier candidate.
        if (int n = s.pcs(online); n > bestCount) {
            best = &s;
            bestCount = n;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    if (activeIsCandidate && current->pcs(online) >= bestCount) {
        return std::nullopt;
    }
    if (best->name == active) {
        return std::nullopt;
    }
    return best->name;
}

std::string Setups::freshName() const {
    // Past the numbered names the count goes on until a name is free, so none is ever given
    // twice.
    for (int n = 1;; ++n) {
        std::string name = n == 1 ? "Home" : n == 2 ? "Work" : "Setup " + std::to_string(n);
        if (!find(name)) {
            return name;
        }
    }
}

json::Json Setups::toJson() const {
    json::Json items = json::Json::array();
    for (const Setup& s : list) {
        items.push_back(s.toJson());
    }
    return {{"list", items}, {"active", active}};
}

Setups Setups::fromJson(const json::Json& j, std::vector<std::string>* dropped) {
    const json::Json& items = json::field(j, "list");
    if (!items.is_array()) {
        throw json::DecodeError("\"list\": expected an array");
    }
    Setups out;
    for (const json::Json& item : items) {
        out.list.push_back(Setup::fromJson(item, dropped));
    }
    out.active = json::getString(j, "active");
    return out;
}

} // namespace helm
