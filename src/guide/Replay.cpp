#include "guide/Replay.h"

#include "gaze/Calibrator.h"
#include "gaze/GazePicker.h"
#include "gaze/Head.h"
#include "gaze/camera/GazeEngine.h"
#include "gaze/camera/VideoFileSource.h"

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

namespace helm {

namespace {

const std::set<std::string> setUpKinds = {"camera",    "turnRight", "keyboard", "corner-tl",
                                          "corner-tr", "corner-br", "corner-bl"};

template <typename... A> std::string fmt(const char* format, A... values) {
    // Kinds come from the file and may be of any length.
    const int n = std::snprintf(nullptr, 0, format, values...);
    std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    std::snprintf(text.data(), text.size() + 1, format, values...);
    return text;
}

// The session's cue list, or nothing with the line that says why: missing, unreadable and
// spoilt are told apart, as each asks something else of the user.
std::optional<Script> readScript(const std::filesystem::path& dir, std::string* problem) {
    const std::filesystem::path path = dir / "script.json";
    std::error_code error;
    if (!std::filesystem::exists(path, error) && !error) {
        *problem = "no script.json in " + dir.string();
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in)
        text << in.rdbuf();
    if (!in || in.bad() || !std::filesystem::is_regular_file(path, error)) {
        *problem = "script " + path.string() + " cannot be read";
        return std::nullopt;
    }
    try {
        return Script::decode(text.str());
    } catch (const json::DecodeError& e) {
        *problem = "script " + path.string() + " doesn't decode (" + e.what() + ")";
        return std::nullopt;
    }
}

} // namespace

double Replay::pct(int count, int total) {
    return count * 100.0 / (total < 1 ? 1 : total);
}

Replay::Reader Replay::faceReader() {
    auto face = std::make_shared<DlibFaceReader>();
    auto eyes = std::make_shared<EyeReader>();
    return [face, eyes](const cv::Mat& grey) { return GazeEngine::read(grey, *face, *eyes); };
}

std::vector<Replay::Frame> Replay::read(const std::string& moviePath, const Reader& reader,
                                        std::string* problem) {
    std::vector<Frame> frames;
    VideoFileSource movie(moviePath, VideoFileSource::Times::stamps);
    if (!movie.open()) {
        if (problem)
            *problem = movie.problem();
        return frames;
    }
    double last = -1;
    cv::Mat grey;
    // A read that fails ends the frames; those read so far still count.
    while (std::optional<helm::Frame> frame = movie.next()) {
        const cv::Mat& image = frame->image;
        const double t = frame->time;
        if (t - last < gap || image.depth() != CV_8U)
            continue;
        if (image.channels() == 3)
            cv::cvtColor(image, grey, cv::COLOR_BGR2GRAY);
        else if (image.channels() == 4)
            cv::cvtColor(image, grey, cv::COLOR_BGRA2GRAY);
        else if (image.channels() == 1)
            grey = image;
        else
            continue;
        const FrameReading r = reader(grey);
        frames.push_back({t, r.head, r.eye, r.face});
        last = t;
    }
    if (frames.empty() && problem)
        *problem =
            movie.problem().empty() ? "video " + moviePath + " holds no frames" : movie.problem();
    return frames;
}

std::optional<Replay::Table> Replay::score(const std::vector<Frame>& frames, const Script& script,
                                           double mix, std::ostream& out) {
    const std::vector<Script::Cue>& cues = script.cues;
    std::size_t setUp = 0;
    while (setUp < cues.size() && setUpKinds.count(cues[setUp].kind))
        ++setUp;

    // Portrait screens would get six points from the calibrator, but a recording holds four
    // corners per screen: calibrate as if every screen were landscape so each cue drives the
    // step it was recorded for. The fitted layout keeps the user's flags.
    std::vector<Screen> screens;
    for (const Screen& s : script.layout.screens) {
        for (std::size_t i = 0; i < setUp; ++i) {
            if (cues[i].screen == s.id) {
                Screen copy = s;
                copy.portrait = false;
                screens.push_back(copy);
                break;
            }
        }
    }
    Calibrator calibrator(screens, true, 0, false);
    for (std::size_t i = 0; i < setUp; ++i) {
        const Script::Cue& cue = cues[i];
        calibrator.ready(cue.start);
        bool captured = false;
        for (const Frame& f : frames) {
            if (f.t < cue.start || f.t >= cue.end + 1)
                continue;
            std::optional<V3> pos;
            if (f.face)
                pos = Head::position(f.face->box);
            if (calibrator.feed(f.head, f.eye, mix, f.t, pos)) {
                captured = true;
                break;
            }
        }
        if (!captured) {
            out << "replay (mix " << fmt("%.1f", mix) << "): setup step " << i + 1 << " ("
                << cue.kind << ") was never steady enough to capture\n";
            return std::nullopt;
        }
    }
    Layout calibrated = script.layout;
    calibrator.apply(calibrated, mix);
    Layout flat = calibrated;
    flat.bias.reset();

    GazePicker picker3;
    GazePicker picker2;
    std::optional<V3> pos;
    std::optional<std::string> held3;
    std::optional<std::string> held2;
    Table table;
    const std::size_t first = setUp;
    if (first >= cues.size())
        return table;
    std::size_t cursor = first;
    for (const Frame& f : frames) {
        if (f.t < cues[first].start)
            continue;
        while (cursor < cues.size() && cues[cursor].end <= f.t)
            ++cursor;
        if (cursor >= cues.size())
            return table;
        const Script::Cue& cue = cues[cursor];
        if (f.face && f.face->confidence >= 0.5) {
            const V3 p = Head::position(f.face->box);
            pos = pos ? *pos * 0.7 + p * 0.3 : p;
        }
        std::optional<Angle> angle;
        if (f.head)
            angle = calibrated.gaze(*f.head, f.eye);
        picker3.update(angle, calibrated, f.t, pos);
        picker2.update(angle, flat, f.t, std::nullopt);
        if (f.t < cue.start + 0.8) {
            held3 = picker3.current;
            held2 = picker2.current;
            continue;
        }
        std::optional<std::string> want3;
        std::optional<std::string> want2;
        const std::string& k = cue.kind;
        if (k == "screen" || k == "lean-left" || k == "lean-right" || k == "back" ||
            k == "closer") {
            want3 = want2 = cue.screen;
        } else if (k == "keyboard" || k == "away" || k == "gone") {
            want3 = held3;
            want2 = held2;
        } else {
            continue;
        }
        Tally& tally = table[k];
        ++tally.n;
        tally.ok3 += picker3.current == want3 ? 1 : 0;
        tally.ok2 += picker2.current == want2 ? 1 : 0;
    }
    return table;
}

int Replay::run(const std::string& folder, std::ostream& out, std::ostream& err,
                const std::function<Reader()>& makeReader) {
    VideoFileSource::quiet();
    const std::filesystem::path dir(folder);
    std::string problem;
    const std::optional<Script> script = readScript(dir, &problem);
    if (!script) {
        err << "replay: " << problem << "\n";
        return 1;
    }
    const std::vector<Frame> frames =
        read((dir / "clip.mov").string(), makeReader ? makeReader() : faceReader(), &problem);
    // Without frames every mix would fail on the first set-up step, which hides the cause.
    if (frames.empty()) {
        err << "replay: " << problem << "\n";
        return 1;
    }
    out << "replay: " << frames.size() << " frames, " << script->cues.size() << " steps\n";

    // Every mix is scored, so each failing one prints its own line.
    const std::optional<Table> tables[3] = {score(frames, *script, 0, out),
                                            score(frames, *script, 0.5, out),
                                            score(frames, *script, 1, out)};
    for (const auto& t : tables)
        if (!t)
            return 0;

    auto total = [](const Table& t) {
        Tally sum;
        for (const auto& [kind, tally] : t) {
            sum.n += tally.n;
            sum.ok3 += tally.ok3;
            sum.ok2 += tally.ok2;
        }
        return sum;
    };
    auto of = [](const Table& t, const std::string& kind) {
        const auto it = t.find(kind);
        return it == t.end() ? Tally{} : it->second;
    };
    out << "\nstep         frames   head 3D   mix .5   eyes 1   head flat (old)\n";
    for (const auto& [kind, t0] : *tables[0]) {
        const Tally t5 = of(*tables[1], kind);
        const Tally t1 = of(*tables[2], kind);
        out << fmt("%-12s %6d   %5.1f%%   %5.1f%%   %5.1f%%   %5.1f%%\n", kind.c_str(), t0.n,
                   pct(t0.ok3, t0.n), pct(t5.ok3, t5.n), pct(t1.ok3, t1.n), pct(t0.ok2, t0.n));
    }
    const Tally a0 = total(*tables[0]);
    const Tally a5 = total(*tables[1]);
    const Tally a1 = total(*tables[2]);
    out << fmt("all          %6d   %5.1f%%   %5.1f%%   %5.1f%%   %5.1f%%\n", a0.n,
               pct(a0.ok3, a0.n), pct(a5.ok3, a5.n), pct(a1.ok3, a1.n), pct(a0.ok2, a0.n));
    return 0;
}

} // namespace helm
