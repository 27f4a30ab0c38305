#include "app/App.h"
#include "app/Log.h"
#include "desk/CalCorner.h"
#include "gaze/camera/GazeEngine.h"
#include "guide/MovieRecorder.h"
#include "guide/Script.h"
#include "link/Wire.h"
#include "platform/MediaClock.h"
#include "platform/OnMain.h"
#include "platform/WholeFile.h"

#include <QTimer>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>

namespace helm {

namespace {

// The folder name: the local date and time, "yyyy-MM-dd HH.mm.ss", in ASCII digits whatever
// the locale.
std::string folderName() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    // Numeric fields only: strftime writes them in ASCII digits in every locale.
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H.%M.%S", &local) == 0) {
        return "recording";
    }
    return text;
}

} // namespace

void App::after(double secs, std::function<void()> fn) {
    if (later) {
        later(secs, std::move(fn));
        return;
    }
    // A coarse timer may fire 5% late, which would stretch the prompts against the movie.
    QTimer::singleShot(static_cast<int>(secs * 1000 + 0.5), Qt::PreciseTimer, std::move(fn));
}

void App::startRecording() {
    if (simOnly() || recorder || !gaze().available())
        return;
    if (!cameraOn)
        setCamera(true, "recording");
    const std::string dir = Script::folder() + "/" + folderName();
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    // A film of the user's face: for their eyes only.
    ::chmod((Script::folder() + "/..").c_str(), 0700);
    ::chmod(Script::folder().c_str(), 0700);
    ::chmod(dir.c_str(), 0700);

    std::weak_ptr<int> alive = alive_;
    movie->onStarted = [this, alive](double t) {
        onMain([this, alive, t] {
            if (alive.lock())
                movieStarted(t);
        });
    };
    movie->onFinished = [this, alive](std::optional<std::string> why) {
        onMain([this, alive, why] {
            if (alive.lock())
                movieFinished(why);
        });
    };
    const std::string clip = dir + "/clip.mov";
    if (!movie->start(clip)) {
        note("The camera can't record right now.");
        return;
    }
    ::chmod(clip.c_str(), 0600);
    recorder = movie.get();
    recordEndedBy_.reset();
    recordDir = dir;
    recordCues.clear();
    scriptSaved = false;
    const int run = ++recordRun;

    std::vector<Screen> screens;
    for (const Screen& s : layout().screens)
        if (s.local() || agentName(s.id))
            screens.push_back(s);
    auto plan = std::make_shared<const std::vector<Script::Item>>(Script::plan(screens));
    const Layout start = layout();
    recordStart = recordClock ? recordClock() : mediaNow();
    log("recording → " + std::filesystem::path(dir).filename().string() + ", " +
        std::to_string(plan->size()) + " steps");
    recordStep(run, 0, plan, start);
}

void App::recordStep(int run, std::size_t i,
                     const std::shared_ptr<const std::vector<Script::Item>>& plan,
                     const Layout& start) {
    // A step of an earlier recording does nothing, also when a new one runs meanwhile.
    if (!recorder || run != recordRun)
        return;
    if (i == plan->size()) {
        finishRecording(start);
        return;
    }
    const Script::Item& item = (*plan)[i];
    hideTargets();
    if (!item.screen) {
        // The camera sits by this computer's screens; the layout of this moment says which.
        if (item.kind == "camera")
            for (const Screen& s : layout().screens)
                if (s.local()) {
                    overlays.show(s.display, s.number, s.name, MacOverlays::Mode::camera());
                    break;
                }
    } else {
        const std::string rest =
            item.kind.rfind("corner-", 0) == 0 ? item.kind.substr(7) : std::string();
        const std::optional<CalCorner> corner = calCorner(rest);
        const Screen& s = *item.screen;
        if (s.local()) {
            overlays.show(s.display, s.number, s.name,
                          corner ? MacOverlays::Mode::at(*corner) : MacOverlays::Mode::number());
        } else if (std::optional<std::string> pc = agentName(s.id)) {
            post(Wire::overlay(s.display, corner ? rest : "id", s.number), *pc);
        }
    }
    voice.say(item.say);
    note(item.say);
    const double now = recordClock ? recordClock() : mediaNow();
    Script::Cue cue{now - recordStart, now - recordStart + item.secs, item.kind, std::nullopt};
    if (item.screen)
        cue.screen = item.screen->id;
    recordCues.push_back(cue);
    after(item.secs, [this, alive = std::weak_ptr<int>(alive_), run, i, plan, start] {
        if (alive.lock())
            recordStep(run, i + 1, plan, start);
    });
}

void App::finishRecording(const Layout& layout) {
    hideTargets();
    if (recordDir) {
        const std::string path = *recordDir + "/script.json";
        try {
            const std::optional<WriteFailure> failed =
                wholeFile::write(path, Script{layout, recordCues}.encode(), 0600);
            scriptSaved = !failed;
            if (failed) {
                log("recording: script.json not saved (" + failed->problem + ")");
            }
        } catch (const json::EncodeError& e) {
            scriptSaved = false;
            log(std::string("recording: script.json not saved (") + e.what() + ")");
        }
    }
    // The closing note waits for the movie: only a finished movie makes a saved recording.
    if (recorder)
        recorder->stop();
}

void App::endRecording(const std::string& why, std::optional<std::string> sentence) {
    if (!recorder)
        return;
    recordEndedBy_ = std::move(sentence);
    ++recordRun; // its waiting prompt does nothing, and no target stays up
    hideTargets();
    voice.say("");
    recorder->stop(why);
}

void App::movieStarted(double t) {
    if (recorder)
        recordStart = t;
}

void App::movieFinished(const std::optional<std::string>& why) {
    const bool wasRecording = recorder != nullptr;
    recorder = nullptr;
    log("recording finished" + (why ? ": " + *why : std::string()));
    if (!wasRecording)
        return;
    if (!why && scriptSaved) {
        note("Recording saved on this computer. Thank you!");
        return;
    }
    note(recordEndedBy_ ? *recordEndedBy_ + ". The recording stopped; it wasn't saved."
                        : "The recording couldn't be saved.");
    log("recording failed: " + (why ? *why : std::string("script.json could not be written")));
}

} // namespace helm
