#include "desk/DisplayInfo.h"

namespace helm {

json::Json DisplayInfo::toJson() const {
    return {{"key", key},
            {"name", name},
            {"index", index},
            {"x", json::finite(x, "x")},
            {"y", json::finite(y, "y")},
            {"w", json::finite(w, "w")},
            {"h", json::finite(h, "h")},
            {"mmW", json::finite(mmW, "mmW")},
            {"mmH", json::finite(mmH, "mmH")},
            {"primary", primary}};
}

DisplayInfo DisplayInfo::fromJson(const json::Json& j) {
    DisplayInfo d;
    d.key = json::getString(j, "key");
    d.name = json::getString(j, "name");
    d.index = json::getInt32(j, "index");
    d.x = json::getDouble(j, "x");
    d.y = json::getDouble(j, "y");
    d.w = json::getDouble(j, "w");
    d.h = json::getDouble(j, "h");
    d.mmW = json::getDouble(j, "mmW");
    d.mmH = json::getDouble(j, "mmH");
    d.primary = json::getBool(j, "primary");
    return d;
}

json::Json DisplayInfo::listToJson(const std::vector<DisplayInfo>& list) {
    json::Json out = json::Json::array();
    for (const auto& d : list) {
        out.push_back(d.toJson());
    }
    return out;
}

std::vector<DisplayInfo> DisplayInfo::listFromJson(const json::Json& j) {
    if (!j.is_array()) {
        throw json::DecodeError("displays: expected an array");
    }
    std::vector<DisplayInfo> out;
    out.reserve(j.size());
    for (const auto& e : j) {
        out.push_back(fromJson(e));
    }
    return out;
}

} // namespace helm
