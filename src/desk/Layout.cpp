#include "desk/Layout.h"

#include <cmath>
#include <numbers>

namespace helm {

std::optional<Extent> Layout::degrees(const DisplayInfo& d) {
    // A display that does not report its physical size is taken at a quarter millimetre per
    // point.
    double wMm = d.mmW > 50 ? d.mmW : 0.25 * d.w;
    double hMm = d.mmH > 30 ? d.mmH : 0.25 * d.h;
    if (!std::isfinite(wMm) || !std::isfinite(hMm) || wMm <= 0 || hMm <= 0) {
        return std::nullopt;
    }
    // Laptop-sized panels sit closer than desk monitors.
    double distance = wMm < 380 ? 500 : 700;
    auto angle = [distance](double size) {
        return 2 * std::atan(size / 2 / distance) * 180 / std::numbers::pi;
    };
    return Extent{angle(wMm), angle(hMm)};
}

Angle Layout::gaze(const Angle& head, const std::optional<Angle>& eye) const {
    if (!eye || !mix || !(*mix > 0)) {
        return head;
    }
    Angle sign = eyeSign.value_or(Angle{1, 1});
    return {head.yaw + *mix * sign.yaw * eye->yaw, head.pitch + *mix * sign.pitch * eye->pitch};
}

std::optional<std::string> Layout::hubID() const {
    const Screen* best = nullptr;
    for (const Screen& s : screens) {
        if (s.local() && (!best || s.display < best->display)) {
            best = &s;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    return best->id;
}

std::optional<Screen> Layout::screen(const std::string& id) const {
    for (const Screen& s : screens) {
        if (s.id == id) {
            return s;
        }
    }
    return std::nullopt;
}

json::Json Layout::toJson() const {
    json::Json list = json::Json::array();
    for (const Screen& s : screens) {
        list.push_back(s.toJson());
    }
    json::Json j = {{"screens", list}, {"rightSign", json::finite(rightSign, "rightSign")}};
    if (bias) {
        j["bias"] = bias->toJson();
    }
    if (seat) {
        j["seat"] = seat->toJson();
    }
    if (keyboard) {
        j["keyboard"] = keyboard->toJson();
    }
    if (cal) {
        j["cal"] = cal->toJson();
    }
    if (mix) {
        j["mix"] = json::finite(*mix, "mix");
    }
    if (eyeSign) {
        j["eyeSign"] = eyeSign->toJson();
    }
    return j;
}

std::string Layout::encode() const {
    return json::dump(toJson());
}

Layout Layout::fromJson(const json::Json& j, std::vector<std::string>* dropped) {
    Layout l;
    const json::Json& list = json::field(j, "screens");
    if (!list.is_array()) {
        throw json::DecodeError("\"screens\": expected an array");
    }
    for (const auto& s : list) {
        l.screens.push_back(Screen::fromJson(s));
    }
    l.rightSign = json::getDouble(j, "rightSign");
    if (auto* v = json::optionalField(j, "bias")) {
        l.bias = Angle::fromJson(*v);
    }
    if (auto* v = json::optionalField(j, "seat")) {
        l.seat = V3::fromJson(*v);
    }
    if (auto* v = json::optionalField(j, "keyboard")) {
        l.keyboard = V3::fromJson(*v);
    }
    if (auto* v = json::optionalField(j, "cal")) {
        try {
            l.cal = CalRecord::fromJson(*v);
        } catch (const json::DecodeError& e) {
            if (dropped) {
                dropped->push_back(std::string("calibration record dropped (") + e.what() + ")");
            }
        }
    }
    if (auto* v = json::optionalField(j, "mix")) {
        l.mix = json::toDouble(*v, "mix");
    }
    if (auto* v = json::optionalField(j, "eyeSign")) {
        l.eyeSign = Angle::fromJson(*v);
    }
    return l;
}

Layout Layout::decode(const std::string& text) {
    return fromJson(json::parse(text));
}

} // namespace helm
