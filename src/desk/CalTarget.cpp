#include "desk/CalTarget.h"

namespace helm {

namespace {

constexpr const char* kNames[] = {"corner", "camera", "turnRight", "keyboard"};

} // namespace

json::Json CalTarget::toJson() const {
    json::Json payload = json::Json::object();
    if (kind == Kind::corner) {
        payload["screen"] = screen;
        payload["at"] = helm::toJson(at);
    }
    return {{kNames[static_cast<int>(kind)], payload}};
}

CalTarget CalTarget::fromJson(const json::Json& j) {
    if (!j.is_object()) {
        throw json::DecodeError("\"target\": expected an object");
    }
    // Other keys are ignored, as everywhere; exactly one of the four names must be there.
    int found = -1;
    int count = 0;
    for (int i = 0; i < 4; ++i) {
        if (j.contains(kNames[i])) {
            found = i;
            ++count;
        }
    }
    if (count != 1) {
        throw json::DecodeError("Invalid number of keys found, expected one.");
    }
    const json::Json& payload = j.at(kNames[found]);
    if (!payload.is_object()) {
        throw json::DecodeError(std::string("\"") + kNames[found] + "\": expected an object");
    }
    auto kind = static_cast<Kind>(found);
    if (kind != Kind::corner) {
        return {kind, {}, CalCorner::tl};
    }
    return corner(json::getString(payload, "screen"),
                  calCornerFromJson(json::field(payload, "at")));
}

} // namespace helm
