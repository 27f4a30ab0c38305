#include "guide/Replay.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace helm {
namespace {

// A photograph Debian ships with dlib, of a face turned some 16° to one side, cut so the face
// is in the middle of a 320 × 240 frame.
cv::Mat facePhoto() {
    const cv::Mat photo = cv::imread("/usr/share/doc/libdlib19.1/examples/faces/2008_007676.jpg");
    cv::Mat frame;
    if (photo.cols >= 224 && photo.rows >= 239)
        cv::resize(photo(cv::Rect(48, 107, 176, 132)), frame, {320, 240});
    return frame;
}

// One portrait screen, the set-up prompts and three scored ones.
Script session() {
    Script s;
    Screen tall;
    tall.id = "mac/1";
    tall.number = 1;
    tall.portrait = true;
    s.layout.screens = {tall};
    double t = 0;
    auto add = [&](const std::string& kind, std::optional<std::string> id, double secs) {
        s.cues.push_back({t, t + secs, kind, std::move(id)});
        t += secs;
    };
    for (const char* kind : {"camera", "turnRight", "keyboard"})
        add(kind, std::nullopt, 2);
    for (const char* corner : {"corner-tl", "corner-tr", "corner-br", "corner-bl"})
        add(corner, "mac/1", 2);
    add("screen", "mac/1", 2);
    add("keyboard", std::nullopt, 2);
    add("away", std::nullopt, 2);
    add("done", std::nullopt, 1);
    return s;
}

// Records the session at 10 frames a second; with `turning`, the photograph and its mirror
// image take turns cue by cue, so every set-up step finds the head turned the other way.
std::string record(const QTemporaryDir& dir, const Script& s, bool turning) {
    const std::string folder = dir.path().toStdString() + "/2026-12-09 10.00.00";
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/script.json") << s.encode();
    const cv::Mat photo = facePhoto();
    cv::Mat mirror;
    cv::flip(photo, mirror, 1);
    cv::VideoWriter movie(folder + "/clip.mov", cv::VideoWriter::fourcc('m', 'p', '4', 'v'), 10,
                          photo.size());
    for (int i = 0; i < s.cues.back().end * 10; ++i) {
        std::size_t cue = 0;
        while (s.cues[cue].end <= i / 10.0)
            ++cue;
        movie.write(turning && cue % 2 ? mirror : photo);
    }
    return folder;
}

TEST(ReplayFace, ScoresARecordedFaceAndFailsWhereTheHeadNeverTurns) {
    ASSERT_FALSE(facePhoto().empty()) << "the photographs of the package libdlib19.1";
    const Script s = session();
    struct Case {
        bool turning;
        std::string printed; // a pattern
    };
    const std::string pct = R"( +\d+\.\d%)";
    const Case cases[] = {
        {true, "replay: 210 frames, 11 steps\n\n"
               "step         frames   head 3D   mix .5   eyes 1   head flat \\(old\\)\n"
               "away             12" +
                   pct + pct + pct + pct +
                   "\n"
                   "keyboard         12" +
                   pct + pct + pct + pct +
                   "\n"
                   "screen           12" +
                   pct + pct + pct + pct +
                   "\n"
                   "all              36" +
                   pct + pct + pct + pct + "\n"},
        {false,
         "replay: 210 frames, 11 steps\n"
         "replay \\(mix 0.0\\): setup step 2 \\(turnRight\\) was never steady enough to capture\n"
         "replay \\(mix 0.5\\): setup step 2 \\(turnRight\\) was never steady enough to capture\n"
         "replay \\(mix 1.0\\): setup step 2 \\(turnRight\\) was never steady enough to capture\n"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        std::ostringstream out;
        EXPECT_EQ(Replay::run(record(dir, s, c.turning), out, out), 0);
        EXPECT_TRUE(std::regex_match(out.str(), std::regex(c.printed))) << out.str();
    }
}

} // namespace
} // namespace helm
