#pragma once

#include "desk/Angle.h"
#include "gaze/Face.h"
#include "gaze/FrameReading.h"
#include "guide/Script.h"

#include <opencv2/core.hpp>

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace helm {

// Scores a recorded test session offline: re-runs calibration on its set-up prompts and screen
// picking on the rest, and prints the share of frames on which the pickers held the screen
// the prompt asked for. Reports only through its printed output.
struct Replay {
    // One sampled movie frame as read.
    struct Frame {
        double t = 0;
        std::optional<Angle> head;
        std::optional<Angle> eye;
        std::optional<Face> face;
    };

    // Frames scored per prompt kind, and the hits of the 3-D and of the flat picker.
    struct Tally {
        int n = 0;
        int ok3 = 0;
        int ok2 = 0;
        friend bool operator==(const Tally&, const Tally&) = default;
    };
    using Table = std::map<std::string, Tally>;

    // Reads one grey frame; one reader serves a whole movie, like the live camera path.
    using Reader = std::function<FrameReading(const cv::Mat& grey)>;

    // The sampling interval: at most about 16 frames a second are read.
    static constexpr double gap = 37.0 / 600.0;

    // Scores the recording in folder and prints the table to out; the exit status, 0 when
    // scored. A script or movie that cannot be read gets one line on err and status 1. reader
    // is made once per run; by default the face reader of the live path.
    static int run(const std::string& folder, std::ostream& out, std::ostream& err,
                   const std::function<Reader()>& makeReader = {});
    // The sampled frames of a movie; none when it cannot be read, and then why in problem.
    static std::vector<Frame> read(const std::string& moviePath, const Reader& reader,
                                   std::string* problem = nullptr);
    // Nothing (after printing why to out) when a set-up prompt could not be captured.
    static std::optional<Table> score(const std::vector<Frame>& frames, const Script& script,
                                      double mix, std::ostream& out);
    // count × 100 / total, dividing by 1 when the total is below 1.
    static double pct(int count, int total);

    // The reader of the live camera path: the face reader and one eye reader for the movie.
    static Reader faceReader();
};

} // namespace helm
