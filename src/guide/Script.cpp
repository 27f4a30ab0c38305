#include "guide/Script.h"

#include "platform/Paths.h"

#include <algorithm>

namespace helm {

namespace {

std::string num(const Screen& s) {
    return std::to_string(s.number);
}

} // namespace

std::vector<Script::Item> Script::plan(const std::vector<Screen>& screens) {
    std::vector<Screen> sorted = screens;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Screen& a, const Screen& b) { return a.number < b.number; });
    const std::size_t k = sorted.size();
    std::vector<Item> items;
    auto add = [&items](std::string kind, std::optional<Screen> s, double secs, std::string say) {
        items.push_back({std::move(kind), std::move(s), secs, std::move(say)});
    };

    add("camera", std::nullopt, 3, "Look at the camera.");
    add("turnRight", std::nullopt, 2.5, "Turn your head right.");
    add("keyboard", std::nullopt, 3, "Look at your keyboard.");
    for (const Screen& s : sorted) {
        add("corner-tl", s, 3, "Screen " + num(s) + ", top left.");
        add("corner-tr", s, 3, "Top right.");
        add("corner-br", s, 3, "Bottom right.");
        add("corner-bl", s, 3, "Bottom left.");
    }
    for (const Screen& s : sorted)
        add("screen", s, 4, "Look at the middle of screen " + num(s) + ".");
    for (std::size_t i = 0; i < std::min<std::size_t>(k, 2); ++i) {
        const Screen& s = sorted[i];
        add("lean-left", s, 5, "Keep looking at screen " + num(s) + " and lean to the left.");
        add("lean-right", s, 5, "Now lean to the right.");
        add("back", s, 5, "Sit back.");
        add("closer", s, 5, "Lean in closer.");
    }
    if (k >= 2) {
        // A fixed walk that jumps around rather than going screen by screen, never repeating
        // the previous screen.
        std::optional<std::size_t> previous;
        for (std::size_t j = 0; j < 12; ++j) {
            std::size_t i = (3 + 7 * j) % k;
            if (previous && i == *previous)
                i = (i + 1) % k;
            previous = i;
            add("screen", sorted[i], 2.5, "Screen " + num(sorted[i]) + ".");
        }
    }
    if (k >= 1) {
        add("keyboard", std::nullopt, 3, "Look at your keyboard.");
        add("screen", sorted[0], 3, "Screen " + num(sorted[0]) + ".");
        add("away", std::nullopt, 4, "Look away, at your phone or out of the window.");
        add("gone", std::nullopt, 8, "Now stand up and step away for a moment.");
    }
    add("done", std::nullopt, 1.5, "Done. Thank you!");
    return items;
}

std::string Script::folder() {
    return paths::dataHome() + "/Pivmor/Recordings";
}

std::string Script::encode() const {
    json::Json list = json::Json::array();
    for (const Cue& c : cues) {
        json::Json j = json::Json::object();
        j["start"] = c.start;
        j["end"] = c.end;
        j["kind"] = c.kind;
        if (c.screen)
            j["screen"] = *c.screen;
        list.push_back(std::move(j));
    }
    json::Json root = json::Json::object();
    root["layout"] = layout.toJson();
    root["cues"] = std::move(list);
    return json::dump(root);
}

Script Script::decode(const std::string& text) {
    const json::Json root = json::parse(text);
    if (!root.is_object())
        throw json::DecodeError("script: not an object");
    Script script;
    script.layout = Layout::fromJson(json::field(root, "layout"));
    const json::Json& list = json::field(root, "cues");
    if (!list.is_array())
        throw json::DecodeError("script: cues is not a list");
    for (const json::Json& j : list) {
        if (!j.is_object())
            throw json::DecodeError("script: a cue is not an object");
        Cue c;
        c.start = json::getDouble(j, "start");
        c.end = json::getDouble(j, "end");
        c.kind = json::getString(j, "kind");
        if (const json::Json* s = json::optionalField(j, "screen"); s && !s->is_null())
            c.screen = json::toString(*s, "screen");
        script.cues.push_back(std::move(c));
    }
    return script;
}

} // namespace helm
