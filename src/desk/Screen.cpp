#include "desk/Screen.h"

#include <algorithm>
#include <cmath>

namespace helm {

bool Screen::isPortrait() const {
    if (portrait) {
        return *portrait;
    }
    if (px) {
        return px->size() == 2 && (*px)[0] < (*px)[1];
    }
    return width < height;
}

std::optional<Extent> Screen::sizeCm() const {
    // The thresholds weed out the tiny or zero sizes some displays report.
    if (!mm || mm->size() != 2 || !((*mm)[0] > 50) || !((*mm)[1] > 30)) {
        return std::nullopt;
    }
    double a = (*mm)[0] / 10;
    double b = (*mm)[1] / 10;
    if (isPortrait()) {
        return Extent{std::min(a, b), std::max(a, b)};
    }
    return Extent{std::max(a, b), std::min(a, b)};
}

bool Screen::contains(const Angle& a) const {
    return std::fabs(a.yaw - yaw) <= width * 0.5 && std::fabs(a.pitch - pitch) <= height * 0.5;
}

namespace {

json::Json finiteList(const std::vector<double>& v, const char* key) {
    json::Json out = json::Json::array();
    for (double d : v) {
        out.push_back(json::finite(d, key));
    }
    return out;
}

} // namespace

json::Json Screen::toJson() const {
    json::Json j = {{"id", id},
                    {"number", number},
                    {"name", name},
                    {"computerName", computerName},
                    {"display", display},
                    {"yaw", json::finite(yaw, "yaw")},
                    {"pitch", json::finite(pitch, "pitch")},
                    {"width", json::finite(width, "width")},
                    {"height", json::finite(height, "height")},
                    {"learned", learned}};
    if (computer) {
        j["computer"] = *computer;
    }
    if (rect) {
        j["rect"] = rect->toJson();
    }
    if (mm) {
        j["mm"] = finiteList(*mm, "mm");
    }
    if (portrait) {
        j["portrait"] = *portrait;
    }
    if (px) {
        j["px"] = finiteList(*px, "px");
    }
    return j;
}

Screen Screen::fromJson(const json::Json& j) {
    Screen s;
    s.id = json::getString(j, "id");
    s.number = json::getInt32(j, "number");
    s.name = json::getString(j, "name");
    if (auto* v = json::optionalField(j, "computer")) {
        s.computer = json::toString(*v, "computer");
    }
    s.computerName = json::getString(j, "computerName");
    s.display = json::getInt32(j, "display");
    s.yaw = json::getDouble(j, "yaw");
    s.pitch = json::getDouble(j, "pitch");
    s.width = json::getDouble(j, "width");
    s.height = json::getDouble(j, "height");
    s.learned = json::getBool(j, "learned");
    if (auto* v = json::optionalField(j, "rect")) {
        s.rect = Rect3::fromJson(*v);
    }
    if (auto* v = json::optionalField(j, "mm")) {
        s.mm = json::toDoubles(*v, "mm");
    }
    if (auto* v = json::optionalField(j, "portrait")) {
        s.portrait = json::toBool(*v, "portrait");
    }
    if (auto* v = json::optionalField(j, "px")) {
        s.px = json::toDoubles(*v, "px");
    }
    return s;
}

} // namespace helm
