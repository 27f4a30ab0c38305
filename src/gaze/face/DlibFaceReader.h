#pragma once

#include "gaze/FaceObservation.h"
#include "gaze/face/PoseSolver.h"
#include "gaze/face/PupilFinder.h"

#include <opencv2/core.hpp>

#include <memory>
#include <optional>
#include <string>

namespace helm {

// Reads the user's face from grey camera frames: dlib's HOG frontal face detector finds it, the
// 68-point shape predictor places its landmarks, the landmarks give the head's yaw and pitch
// and the outlines of the eyes, in which the pupils are then looked for.
//
// Detecting is costly, so a found face is tracked: each later frame runs only the shape
// predictor, on the box that the previous frame's landmarks predict, and the detector confirms
// the face now and then in a small region around it. Only a lost face sends the next frame
// through the detector again.
//
// Reach: the detector's smallest face is 80 pixels. A first pass runs on the frame scaled down
// to `detectWidth` (cheap, finds a face at the usual distance); only when it finds nothing, a
// second pass runs on the frame scaled up by `farScale`, which reaches faces about
// 80 / farScale pixels wide. At 640 pixels and the default 1.25 that is 64 pixels, 0.10 of the
// width, just under the width at which the user is told they are too far away: a face that far
// is still found, and hinted at, rather than lost. The second pass is the costly one and runs
// at most every `farEvery`-th frame while no face is found.
class DlibFaceReader {
public:
    struct Options {
        std::string modelPath = defaultModelPath();
        double hFov = 65.0 * 3.14159265358979323846 / 180.0;
        int detectWidth = 320;
        double farScale = 1.25;
        int farEvery = 3;
        int confirmEvery = 8;
    };

    DlibFaceReader();
    explicit DlibFaceReader(Options options);
    ~DlibFaceReader();
    DlibFaceReader(DlibFaceReader&&) noexcept;
    DlibFaceReader& operator=(DlibFaceReader&&) noexcept;

    // grey: the frame's 8-bit luma. The widest face is reported, with its box normalised and its
    // landmarks relative to the box (bottom-left origin, y up), its yaw (growing as the user
    // turns to their right) and pitch (growing as the user looks down) in radians, measured from
    // the line between face and camera. Left and right eyes are the user's own: the left one
    // shows on the image's right. Nothing when no face is found or the landmark model cannot be
    // loaded.
    std::optional<FaceObservation> read(const cv::Mat& grey);
    // Forgets the tracked face, so the next frame runs the detector.
    void reset();

    bool tracking() const;
    // The last read ran the face detector over the whole frame.
    bool detectedLastFrame() const;
    // Why no face can ever be read (the landmark model is missing or unreadable), else empty.
    std::string problem() const;

    static std::string defaultModelPath();

    // dlib's detection score mapped into 0…1 (see the definition for the mapping).
    static double confidence(double score);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace helm
