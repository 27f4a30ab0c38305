#include "guide/Replay.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace helm {
namespace {

Screen screen(const std::string& id, int number, double yaw) {
    Screen s;
    s.id = id;
    s.number = number;
    s.yaw = yaw;
    return s;
}

// Where each kind of prompt makes the simulated user look, for two screens 40° apart.
std::map<std::string, Angle> lookFor(const Script::Cue& c) {
    const double x = c.screen == "mac/2" ? 20 : -20;
    return {{"camera", {0, 0}},          {"turnRight", {25, 0}},     {"keyboard", {0, -30}},
            {"corner-tl", {x - 15, 9}},  {"corner-tr", {x + 15, 9}}, {"corner-br", {x + 15, -9}},
            {"corner-bl", {x - 15, -9}}, {"screen", {x, 0}},         {"away", {70, 0}}};
}

std::optional<Angle> look(const Script::Cue& c) {
    const auto table = lookFor(c);
    const auto it = table.find(c.kind);
    return it == table.end() ? std::nullopt : std::optional<Angle>(it->second);
}

// A two-screen session: the set-up prompts, then the given scored ones, back to back.
Script session(const std::vector<std::pair<std::string, std::optional<std::string>>>& scored) {
    Script s;
    s.layout.screens = {screen("mac/1", 1, -20), screen("mac/2", 2, 20)};
    double t = 0.1;
    auto add = [&](const std::string& kind, std::optional<std::string> id, double secs) {
        s.cues.push_back({t, t + secs, kind, std::move(id)});
        t += secs;
    };
    add("camera", std::nullopt, 3);
    add("turnRight", std::nullopt, 2.5);
    add("keyboard", std::nullopt, 3);
    for (const char* id : {"mac/1", "mac/2"})
        for (const char* corner : {"corner-tl", "corner-tr", "corner-br", "corner-bl"})
            add(corner, id, 3);
    for (const auto& [kind, id] : scored)
        add(kind, id, 3);
    return s;
}

// Frames every 1/15 s over the whole script, looking where each cue asks (the next cue's look
// in a gap); face is given to every frame.
std::vector<Replay::Frame> frames(const Script& s, std::optional<Face> face = std::nullopt) {
    std::vector<Replay::Frame> out;
    for (int i = 0; i / 15.0 < s.cues.back().end + 0.5; ++i) {
        const double t = i / 15.0;
        Replay::Frame f{t, std::nullopt, std::nullopt, face};
        for (const Script::Cue& c : s.cues)
            if (t < c.end) {
                f.head = look(c);
                break;
            }
        out.push_back(f);
    }
    return out;
}

const std::vector<std::pair<std::string, std::optional<std::string>>> tour = {
    {"screen", "mac/1"},    {"screen", "mac/2"},    {"keyboard", std::nullopt},
    {"away", std::nullopt}, {"gone", std::nullopt}, {"done", std::nullopt}};

TEST(ReplayScore, HitsWhereTheUserLooksAndOnlyAfterTheGrace) {
    const Script s = session(tour);
    std::ostringstream out;
    const auto table = Replay::score(frames(s), s, 0, out);
    ASSERT_TRUE(table) << out.str();
    // 3 s cues sampled at 15 a second lose their first 0.8 s: 33 frames each.
    // Looking away keeps the screen last chosen, which is what "away" asks for.
    const Replay::Table want = {{"away", {33, 33, 33}},
                                {"gone", {33, 33, 33}},
                                {"keyboard", {33, 33, 33}},
                                {"screen", {66, 66, 66}}};
    EXPECT_EQ(*table, want);
    EXPECT_EQ(out.str(), "");
}

TEST(ReplayScore, FailsOnTheFirstSetUpStepNotHeldAndSaysWhichMix) {
    Script s = session(tour);
    struct Case {
        double mix;
        std::function<void(std::vector<Replay::Frame>&)> spoil;
        std::string said;
    };
    const Case cases[] = {
        {0, [](auto& f) { f.clear(); },
         "replay (mix 0.0): setup step 1 (camera) was never steady enough to capture\n"},
        // The user never turns: the turn step has nothing to tell apart from the camera.
        {0.5,
         [&](auto& f) {
             for (auto& x : f)
                 if (x.t >= s.cues[1].start && x.t < s.cues[1].end + 1)
                     x.head = Angle{0, 0};
         },
         "replay (mix 0.5): setup step 2 (turnRight) was never steady enough to capture\n"},
        {1,
         [](auto& f) {
             for (auto& x : f)
                 x.head.reset();
         },
         "replay (mix 1.0): setup step 1 (camera) was never steady enough to capture\n"},
    };
    for (const Case& c : cases) {
        auto f = frames(s);
        c.spoil(f);
        std::ostringstream out;
        EXPECT_FALSE(Replay::score(f, s, c.mix, out));
        EXPECT_EQ(out.str(), c.said);
    }
}

TEST(ReplayScore, SetUpFramesMayComeUpToOneSecondLate) {
    Script s = session(tour);
    // The user looks at the first corner only after its cue ended.
    const Script::Cue corner = s.cues[3];
    struct Case {
        double lateBy; // seconds after the cue's end when the steady look starts
        bool captured;
    };
    for (const Case c : {Case{0.2, true}, Case{1.0, false}}) {
        auto f = frames(s);
        for (auto& x : f)
            if (x.t >= corner.start && x.t < corner.end + c.lateBy)
                x.head = Angle{0, -30}; // still at the keyboard
            else if (x.t >= corner.end + c.lateBy && x.t < corner.end + 1.6)
                x.head = look(corner);
        std::ostringstream out;
        // Later cues are not fed their own frames in time either way; only step 4 matters.
        Replay::score(f, s, 0, out);
        EXPECT_EQ(out.str().find("setup step 4 ") == std::string::npos, c.captured)
            << c.lateBy << out.str();
    }
}

TEST(ReplayScore, GapFramesBelongToTheNextCueAndTheLastCueEndsScoring) {
    Script s = session({{"screen", "mac/1"}, {"screen", "mac/2"}});
    // A 2 s gap before the second scored cue: its frames fall in that cue's grace.
    s.cues.back().start += 2;
    s.cues.back().end += 2;
    std::ostringstream out;
    auto f = frames(s);
    f.push_back({s.cues.back().end + 5, Angle{-20, 0}, std::nullopt, std::nullopt});
    const auto table = Replay::score(f, s, 0, out);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->at("screen").n, 33 + 33);
}

TEST(ReplayScore, NothingSeenOnBothSidesIsAHit) {
    const Script s = session({{"away", std::nullopt}});
    auto f = frames(s);
    for (auto& x : f)
        if (x.t >= s.cues.back().start)
            x.head.reset();
    std::ostringstream out;
    const auto table = Replay::score(f, s, 0, out);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->at("away"), (Replay::Tally{33, 33, 33}));
}

TEST(ReplayScore, LowConfidenceFacesLeaveThePositionAlone) {
    const Script s = session(tour);
    std::ostringstream out;
    // A face box far off to the side would put the head somewhere else entirely.
    const Face odd{{0.0, 0.0, 0.05, 0.05}, 0.3};
    EXPECT_EQ(Replay::score(frames(s, odd), s, 0, out), Replay::score(frames(s), s, 0, out));
}

TEST(ReplayScore, PortraitScreensCalibrateFromFourCorners) {
    for (std::size_t tall : {0, 1}) {
        Script s = session(tour);
        s.layout.screens[tall].portrait = true;
        std::ostringstream out;
        const auto table = Replay::score(frames(s), s, 0, out);
        ASSERT_TRUE(table) << out.str();
        // Every corner cue drove its own corner: the user is followed as on landscape screens.
        EXPECT_EQ(table->at("screen"), (Replay::Tally{66, 66, 66})) << tall;
    }
}

TEST(ReplayPct, DividesByOneBelowOne) {
    EXPECT_EQ(Replay::pct(0, 0), 0);
    EXPECT_EQ(Replay::pct(3, 0), 300);
    EXPECT_EQ(Replay::pct(1, 3), 100.0 / 3);
}

// A recording on disk whose frames carry their look as a grey level, and a reader that
// reads it back.
class ReplayRun : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::vector<Angle> looks{{999, 999}}; // level 0: nobody there

    std::string folder() const { return dir.path().toStdString() + "/2026-01-01 10.00.00"; }

    void record(const Script& s) {
        std::filesystem::create_directories(folder());
        std::ofstream(folder() + "/script.json") << s.encode();
        cv::VideoWriter movie(folder() + "/clip.mov", cv::VideoWriter::fourcc('M', 'J', 'P', 'G'),
                              30, {64, 48});
        for (const auto& f : frames(s)) {
            // Two movie frames per sampled one, so sampling must skip every other.
            int level = 0;
            if (f.head) {
                const auto it = std::find(looks.begin(), looks.end(), *f.head);
                level = static_cast<int>(it - looks.begin());
                if (it == looks.end())
                    looks.push_back(*f.head);
            }
            const cv::Mat image(48, 64, CV_8UC3, cv::Scalar::all(level));
            movie.write(image);
            movie.write(image);
        }
    }

    std::function<Replay::Reader()> reader() {
        return [this] {
            return [this](const cv::Mat& grey) {
                FrameReading r;
                const int level = static_cast<int>(cv::mean(grey)[0] + 0.5);
                if (level > 0 && level < static_cast<int>(looks.size()))
                    r.head = looks[level];
                return r;
            };
        };
    }

    int status = -1;
    std::string errors; // the replay's own and anything the video library printed

    std::string run(const std::string& where) {
        std::ostringstream out;
        std::ostringstream err;
        testing::internal::CaptureStderr();
        status = Replay::run(where, out, err, reader());
        errors = err.str() + testing::internal::GetCapturedStderr();
        return out.str();
    }
};

TEST_F(ReplayRun, PrintsTheTable) {
    // Nobody looks where "closer" asks: the picker keeps the screen before it.
    auto cues = tour;
    cues.insert(cues.begin() + 1, {"closer", "mac/2"});
    record(session(cues));
    EXPECT_EQ(run(folder()), "replay: 812 frames, 18 steps\n"
                             "\n"
                             "step         frames   head 3D   mix .5   eyes 1   head flat (old)\n"
                             "away             33   100.0%   100.0%   100.0%   100.0%\n"
                             "closer           33     0.0%     0.0%     0.0%     0.0%\n"
                             "gone             33   100.0%   100.0%   100.0%   100.0%\n"
                             "keyboard         33   100.0%   100.0%   100.0%   100.0%\n"
                             "screen           66   100.0%   100.0%   100.0%   100.0%\n"
                             "all             198    83.3%    83.3%    83.3%    83.3%\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(errors, "");
}

TEST_F(ReplayRun, WithoutScoredPromptsPrintsZeroTotals) {
    record(session({}));
    EXPECT_EQ(run(folder()), "replay: 497 frames, 11 steps\n"
                             "\n"
                             "step         frames   head 3D   mix .5   eyes 1   head flat (old)\n"
                             "all               0     0.0%     0.0%     0.0%     0.0%\n");
}

TEST_F(ReplayRun, UnreadableFilesGetOneLineAndStatusOne) {
    const std::string movie = folder() + "/clip.mov";
    const std::string script = folder() + "/script.json";
    const std::string unreadMovie = "replay: video " + movie + " cannot be opened\n";
    const std::string noScript = "replay: no script.json in " + folder() + "\n";
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { std::filesystem::remove(movie); }, unreadMovie},
        {[&] { std::ofstream{movie}; }, unreadMovie},
        {[&] { std::filesystem::resize_file(movie, std::filesystem::file_size(movie) / 2); },
         unreadMovie},
        {[&] { std::filesystem::remove(script); }, noScript},
        {[&] { std::ofstream(script) << "{\"layout\":"; },
         "replay: script " + script + " doesn't decode (malformed JSON: "},
        {[&] {
             std::filesystem::remove(script);
             std::filesystem::create_directory(script);
         },
         "replay: script " + script + " cannot be read\n"},
    };
    for (const auto& [spoil, line] : cases) {
        std::filesystem::remove_all(script);
        record(session(tour));
        spoil();
        EXPECT_EQ(run(folder()), "");
        // One line, nothing of the video library's own; the parser's own words may follow.
        EXPECT_EQ(errors.substr(0, line.size()), line);
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        EXPECT_EQ(status, 1);
    }
}

TEST_F(ReplayRun, SamplesAtMostOneFrameIn37Of600Seconds) {
    record(session({}));
    const auto f = Replay::read(folder() + "/clip.mov", reader()());
    ASSERT_GT(f.size(), 100u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(f[i].t, i * 2.0 / 30, 1e-6);
    for (std::size_t i = 1; i < f.size(); ++i)
        EXPECT_GE(f[i].t - f[i - 1].t, Replay::gap);
}

} // namespace
} // namespace helm
