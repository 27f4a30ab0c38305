#include "desk/CalRecord.h"

namespace helm {

namespace {

const json::Json& array(const json::Json& j, const char* key) {
    const json::Json& v = json::field(j, key);
    if (!v.is_array()) {
        throw json::DecodeError(std::string("\"") + key + "\": expected an array");
    }
    return v;
}

json::Json angles(const std::vector<Angle>& list) {
    json::Json out = json::Json::array();
    for (const Angle& a : list) {
        out.push_back(a.toJson());
    }
    return out;
}

std::vector<Angle> anglesFrom(const json::Json& v) {
    std::vector<Angle> out;
    out.reserve(v.size());
    for (const auto& e : v) {
        out.push_back(Angle::fromJson(e));
    }
    return out;
}

} // namespace

json::Json CalRecord::toJson() const {
    json::Json s = json::Json::array();
    for (const CalStep& step : steps) {
        s.push_back(step.toJson());
    }
    json::Json p = json::Json::array();
    for (const auto& pos : positions) {
        p.push_back(pos ? pos->toJson() : json::Json(nullptr));
    }
    return {{"steps", s}, {"heads", angles(heads)}, {"eyes", angles(eyes)}, {"positions", p}};
}

CalRecord CalRecord::fromJson(const json::Json& j) {
    CalRecord r;
    for (const auto& e : array(j, "steps")) {
        r.steps.push_back(CalStep::fromJson(e));
    }
    r.heads = anglesFrom(array(j, "heads"));
    r.eyes = anglesFrom(array(j, "eyes"));
    for (const auto& e : array(j, "positions")) {
        r.positions.push_back(e.is_null() ? std::nullopt : std::optional<V3>(V3::fromJson(e)));
    }
    if (r.heads.size() != r.steps.size() || r.eyes.size() != r.steps.size()) {
        throw json::DecodeError("\"cal\": lists do not match the steps");
    }
    // Positions past the last step belong to no step.
    if (r.positions.size() > r.steps.size()) {
        r.positions.resize(r.steps.size());
    }
    return r;
}

} // namespace helm
