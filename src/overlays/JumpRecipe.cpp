#include "overlays/JumpRecipe.h"

#include <utility>

namespace helm {

namespace {

using Layer = JumpRecipe::Layer;
using Json = json::Json;

template <typename M> struct Key {
    const char* name;
    M Layer::*member;
};

// The layer's fields by kind; decoding and encoding walk the same lists.
const Key<std::optional<double>> layerNumbers[] = {
    {"t0", &Layer::t0},       {"t1", &Layer::t1},
    {"a0", &Layer::a0},       {"a1", &Layer::a1},
    {"width", &Layer::width}, {"r0", &Layer::r0},
    {"r1", &Layer::r1},       {"stagger", &Layer::stagger},
    {"spin", &Layer::spin},   {"count", &Layer::count},
    {"n", &Layer::n},         {"d0", &Layer::d0},
    {"d1", &Layer::d1},       {"s0", &Layer::s0},
    {"s1", &Layer::s1},       {"phase", &Layer::phase},
    {"turns", &Layer::turns}, {"s", &Layer::s},
    {"sides", &Layer::sides}, {"rot0", &Layer::rot0},
    {"rot1", &Layer::rot1},   {"r", &Layer::r},
    {"tail", &Layer::tail},   {"len", &Layer::len},
    {"w0", &Layer::w0},       {"w1", &Layer::w1},
    {"a", &Layer::a},         {"h0", &Layer::h0},
    {"h1", &Layer::h1},       {"dist", &Layer::dist},
    {"lift", &Layer::lift},   {"dy", &Layer::dy},
};
const Key<std::optional<bool>> layerBools[] = {
    {"bell", &Layer::bell}, {"dash", &Layer::dash}, {"spring", &Layer::spring}};
const Key<std::optional<std::string>> layerStrings[] = {{"ease", &Layer::ease},
                                                        {"color", &Layer::color},
                                                        {"shape", &Layer::shape},
                                                        {"style", &Layer::style},
                                                        {"text", &Layer::text}};

std::optional<double> optDouble(const Json& j, const char* key) {
    const Json* v = json::optionalField(j, key);
    return v ? std::optional(json::toDouble(*v, key)) : std::nullopt;
}
std::optional<bool> optBool(const Json& j, const char* key) {
    const Json* v = json::optionalField(j, key);
    return v ? std::optional(json::toBool(*v, key)) : std::nullopt;
}
std::optional<std::string> optString(const Json& j, const char* key) {
    const Json* v = json::optionalField(j, key);
    return v ? std::optional(json::toString(*v, key)) : std::nullopt;
}

template <typename T> void put(Json& j, const char* key, const std::optional<T>& v) {
    if (v) {
        j[key] = *v;
    }
}
void putNumber(Json& j, const char* key, const std::optional<double>& v) {
    if (v) {
        j[key] = json::finite(*v, key);
    }
}

Layer layerFromJson(const Json& j) {
    Layer l;
    l.type = json::getString(j, "type");
    for (const auto& k : layerNumbers) {
        l.*k.member = optDouble(j, k.name);
    }
    for (const auto& k : layerBools) {
        l.*k.member = optBool(j, k.name);
    }
    for (const auto& k : layerStrings) {
        l.*k.member = optString(j, k.name);
    }
    if (const Json* v = json::optionalField(j, "colors")) {
        if (!v->is_array()) {
            throw json::DecodeError("\"colors\": expected an array");
        }
        std::vector<std::string> colors;
        for (const Json& c : *v) {
            colors.push_back(json::toString(c, "colors"));
        }
        l.colors = std::move(colors);
    }
    return l;
}

Json layerToJson(const Layer& l) {
    Json j = {{"type", l.type}};
    for (const auto& k : layerNumbers) {
        putNumber(j, k.name, l.*k.member);
    }
    for (const auto& k : layerBools) {
        put(j, k.name, l.*k.member);
    }
    for (const auto& k : layerStrings) {
        put(j, k.name, l.*k.member);
    }
    put(j, "colors", l.colors);
    return j;
}

} // namespace

JumpRecipe JumpRecipe::colored(const std::string& hex) const {
    JumpRecipe out = *this;
    for (Layer& l : out.layers) {
        if (!l.color || *l.color == "accent") {
            l.color = hex;
        }
        if (l.colors) {
            for (std::string& c : *l.colors) {
                if (c == "accent") {
                    c = hex;
                }
            }
        }
    }
    return out;
}

Json JumpRecipe::toJson() const {
    Json layerList = Json::array();
    for (const Layer& l : layers) {
        layerList.push_back(layerToJson(l));
    }
    Json j = {{"id", id},
              {"name", name},
              {"dur", json::finite(dur, "dur")},
              {"layers", std::move(layerList)}};
    if (pointer) {
        Json p = Json::object();
        putNumber(p, "scale0", pointer->scale0);
        putNumber(p, "dy0", pointer->dy0);
        put(p, "spring", pointer->spring);
        put(p, "shadow", pointer->shadow);
        j["pointer"] = std::move(p);
    }
    if (motion) {
        Json m = {{"path", motion->path}};
        putNumber(m, "dist", motion->dist);
        putNumber(m, "lift", motion->lift);
        j["motion"] = std::move(m);
    }
    return j;
}

JumpRecipe JumpRecipe::fromJson(const Json& j) {
    JumpRecipe r;
    r.id = json::getString(j, "id");
    r.name = json::getString(j, "name");
    r.dur = json::getDouble(j, "dur");
    const Json& layerList = json::field(j, "layers");
    if (!layerList.is_array()) {
        throw json::DecodeError("\"layers\": expected an array");
    }
    for (const Json& l : layerList) {
        r.layers.push_back(layerFromJson(l));
    }
    if (const Json* p = json::optionalField(j, "pointer")) {
        Pointer ptr;
        ptr.scale0 = optDouble(*p, "scale0");
        ptr.dy0 = optDouble(*p, "dy0");
        ptr.spring = optBool(*p, "spring");
        ptr.shadow = optBool(*p, "shadow");
        r.pointer = ptr;
    }
    if (const Json* m = json::optionalField(j, "motion")) {
        Motion mo;
        mo.path = json::getString(*m, "path");
        mo.dist = optDouble(*m, "dist");
        mo.lift = optDouble(*m, "lift");
        r.motion = std::move(mo);
    }
    return r;
}

} // namespace helm
