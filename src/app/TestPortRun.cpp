#include "app/App.h"
#include "app/CommandLine.h"
#include "app/Log.h"
#include "app/NumberText.h"
#include "app/TestPort.h"
#include "link/Base64.h"
#include "link/Hub.h"
#include "link/LineSplitter.h"
#include "link/MacClipboard.h"
#include "link/Wire.h"
#include "platform/MediaClock.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

namespace helm {

namespace {

std::vector<std::string> words(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line);
    std::string w;
    while (std::getline(in, w, ' ')) {
        if (!w.empty()) {
            out.push_back(w);
        }
    }
    return out;
}

std::string statusLine(App& app) {
    Router& r = app.router();
    std::string agents;
    // The application's own set: asking the hub would wait behind whatever it is reading.
    for (const std::string& name : app.connected) {
        agents += (agents.empty() ? "" : ",") + name;
    }
    std::string held;
    for (int code : r.heldKeys) {
        held += (held.empty() ? "" : ", ") + format("%d", code);
    }
    std::string since = format("%.2f", mediaNow() - r.lastKey);
    std::string cal;
    if (app.calibrator) {
        cal = format(" cal=%d/%zu", app.calibrator->index, app.calibrator->steps.size());
    }
    return "gaze=" + app.picker.current.value_or("-") + " keys=" + r.keys + " mouse=" + r.mouse +
           " agents=" + agents + " locked=" + r.locked.value_or("-") + cal + " held=[" + held +
           "] sinceKey=" + since;
}

std::string screensLine(const App& app) {
    std::string out;
    for (const Screen& s : app.layout().screens) {
        out += (out.empty() ? "" : " | ") + format("%d %s %s %.1f/%.1f %.1fx%.1f %s", s.number,
                                                   s.id.c_str(), s.computerName.c_str(), s.yaw,
                                                   s.pitch, s.width, s.height,
                                                   s.learned ? "learned" : "guess");
    }
    return out;
}

std::string inputsLine(App& app) {
    std::string capped;
    for (const std::string& name : app.capped) {
        capped += (capped.empty() ? "" : ", ") + quoted(name);
    }
    std::string injected;
    for (const std::string& entry : app.injectLog) {
        injected += (injected.empty() ? "" : ",") + entry;
    }
    app.injectLog.clear();
    return "source=" + app.source.value_or("mac") + " capped=[" + capped + "] injected=[" +
           injected + "]";
}

// A decimal number, all of the word, finite.
std::optional<double> number(const std::string& word) {
    double v = 0;
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, v);
    if (ec != std::errc() || ptr != end || !std::isfinite(v)) {
        return std::nullopt;
    }
    return v;
}

// A whole decimal integer within ±1,000,000.
std::optional<int> integer(const std::string& word) {
    int v = 0;
    const char* end = word.data() + word.size();
    auto [ptr, ec] = std::from_chars(word.data(), end, v);
    if (ec != std::errc() || ptr != end || v < -1'000'000 || v > 1'000'000) {
        return std::nullopt;
    }
    return v;
}

// Made-up keys, clicks and moves go straight to their handling, as the hand-back, camera
// wake and glide stop of a real event are not what a script exercises; a move lies at
// (0, 0), the primary display's top-left corner.
std::optional<std::string> inputCommand(const std::vector<std::string>& w, App& app) {
    const std::string& cmd = w[0];
    if (cmd == "key") {
        std::optional<int> code = w.size() >= 3 ? integer(w[1]) : std::nullopt;
        if (!code) {
            return "?";
        }
        app.key(*code, w[2] == "1");
    } else if (cmd == "click") {
        if (w.size() < 2) {
            return "?";
        }
        InputEvent e;
        e.type = w[1] == "1" ? InputEvent::Type::leftDown : InputEvent::Type::leftUp;
        app.mouse(e);
    } else if (cmd == "move") {
        std::optional<int> dx = w.size() >= 3 ? integer(w[1]) : std::nullopt;
        std::optional<int> dy = w.size() >= 3 ? integer(w[2]) : std::nullopt;
        if (!dx || !dy) {
            return "?";
        }
        InputEvent e;
        e.type = InputEvent::Type::moved;
        e.dx = *dx;
        e.dy = *dy;
        app.mouse(e);
    } else if (cmd == "lock") {
        app.toggleLock();
    } else if (cmd == "edge") {
        if (w.size() < 2) {
            return "?";
        }
        if (std::optional<Screen> from = app.screen(app.router().mouse)) {
            app.edgeSwitch(*from, w[1] == "R");
        }
    } else {
        return std::nullopt;
    }
    return statusLine(app);
}

// The hand-over's pasteboard, read and set as a script needs it.
std::optional<std::string> clipCommand(const std::vector<std::string>& w, App& app) {
    const std::string& cmd = w[0];
    Pasteboard& pb = app.pasteboard();
    if (cmd == "clip") {
        return "clip " + base64Encode(pb.text().value_or(""));
    }
    if (cmd == "clipinfo") {
        MacClipboard::Result r = MacClipboard::read(pb);
        if (!r.clip) {
            return std::string("empty");
        }
        if (auto* t = std::get_if<Clip::Text>(&r.clip->value)) {
            return format("text %zu", characterCount(t->text));
        }
        if (auto* i = std::get_if<Clip::Image>(&r.clip->value)) {
            return format("image %zu", i->png.size());
        }
        std::string files;
        for (const ClipFile& f : std::get<Clip::Files>(r.clip->value).files) {
            files += (files.empty() ? "" : ",") + f.name + format("=%zu", f.data.size());
        }
        return "files " + files;
    }
    if (cmd == "setclip") {
        if (w.size() < 2) {
            return std::string("?");
        }
        std::optional<Bytes> bytes = base64Decode(w[1]);
        pb.setText(bytes ? lossyUtf8(asText(*bytes)) : std::string());
    } else if (cmd == "setfiles") {
        pb.setFiles(std::vector<std::string>(w.begin() + 1, w.end()));
    } else if (cmd == "setimage") {
        if (w.size() < 2) {
            return std::string("?");
        }
        // Read as files to be handed over are: a folder, a device or a FIFO has no picture to
        // give, and one bigger than a clip could never be handed over.
        std::optional<Bytes> data = MacClipboard::readRegular(w[1], Wire::maxClipBytes);
        if (!data) {
            log("test port: setimage " + w[1] + ": not a readable file of at most 100 MB");
            pb.setFiles({}); // an empty pasteboard: no data
        } else {
            pb.setPng(*data);
        }
    } else {
        return std::nullopt;
    }
    return statusLine(app);
}

} // namespace

// Each command checks its arguments before acting: a line it cannot use is answered "?" and
// changes nothing, like an unknown word.
std::string TestPort::run(const std::string& line, App& app) {
    std::vector<std::string> w = words(line);
    if (w.empty()) {
        return "?";
    }
    const std::string& cmd = w[0];
    if (cmd == "calibrate") {
        app.startCalibration(std::nullopt, true, false);
        return statusLine(app);
    }
    if (cmd == "identify") {
        app.identify();
        return statusLine(app);
    }
    if (cmd == "screens") {
        return screensLine(app);
    }
    if (cmd == "health") {
        return "health " + app.health().value_or("ok");
    }
    if (cmd == "unstick") {
        app.unstick();
        return statusLine(app);
    }
    if (cmd == "inputs") {
        return inputsLine(app);
    }
    if (cmd == "allinputs") {
        if (w.size() < 2) {
            return "?";
        }
        app.prefs.setAllInputs(w[1] == "1");
        return statusLine(app);
    }
    if (cmd == "paircode") {
        // Six digits open pairing with that code; "none" closes it.
        if (w.size() < 2) {
            return "?";
        }
        if (w[1] == "none") {
            app.hub().setPairCode(std::nullopt);
        } else if (w[1].size() == 6 && std::all_of(w[1].begin(), w[1].end(),
                                                   [](char c) { return c >= '0' && c <= '9'; })) {
            app.hub().setPairCode(w[1]);
        } else {
            return "?";
        }
        return statusLine(app);
    }
    if (cmd == "jump") {
        if (w.size() < 2) {
            return "?";
        }
        int n = 0;
        const char* end = w[1].data() + w[1].size();
        auto [ptr, ec] = std::from_chars(w[1].data(), end, n);
        if (ec != std::errc() || ptr != end) {
            return "?";
        }
        app.jumpTo(n);
        return statusLine(app);
    }
    if (cmd == "macinput") {
        app.macInputUsed();
        return statusLine(app);
    }
    if (cmd == "status") {
        return statusLine(app);
    }
    if (cmd == "angle") {
        // Yaw and pitch of a head; eyes only when both of their numbers are given.
        if (w.size() < 3) {
            return "?";
        }
        std::vector<double> v;
        for (std::size_t i = 1; i < w.size() && i <= 4; ++i) {
            std::optional<double> n = number(w[i]);
            if (!n) {
                return "?";
            }
            v.push_back(*n);
        }
        std::optional<Angle> eye;
        if (v.size() == 4) {
            eye = Angle{v[2], v[3]};
        }
        app.saw(Angle{v[0], v[1]}, eye);
        return statusLine(app);
    }
    if (cmd == "noface") {
        app.saw(std::nullopt, std::nullopt);
        return statusLine(app);
    }
    if (cmd == "look") {
        if (w.size() < 2 || w[1].size() > maxId) {
            return "?";
        }
        app.pretend(w[1]);
        return statusLine(app);
    }
    if (std::optional<std::string> reply = inputCommand(w, app)) {
        return *reply;
    }
    if (std::optional<std::string> reply = clipCommand(w, app)) {
        return *reply;
    }
    return "?";
}

} // namespace helm
