// The accuracy check: how often the picker names the screen the user is asked to look at.
#include "app/App.h"
#include "app/Log.h"
#include "app/NumberText.h"
#include "windows/SettingsModel.h"

#include <algorithm>
#include <memory>
#include <set>
#include <utility>

namespace helm {

void App::startCheck() {
    // A run's frames belong to the run; the check would measure a calibration half made.
    if (calibrator) {
        return;
    }
    std::vector<Screen> eligible;
    for (const Screen& s : layout().screens) {
        if (s.learned && (s.local() || connected.count(*s.computer) > 0)) {
            eligible.push_back(s);
        }
    }
    if (eligible.size() < 2) {
        note("Connect and learn at least two screens to check accuracy.");
        return;
    }
    if (!cameraForRun([this] { startCheck(); }, "The accuracy check", "accuracy check")) {
        return;
    }
    checking.emplace(std::move(eligible));
    ++checkRun;
    guide.setRunProblem(std::nullopt);
    log(format("accuracy check: %zu looks", checking->list.size()));
    lastFrameAt = gazeNow();
    nextCheck();
}

void App::nextCheck() {
    if (!checking) {
        return;
    }
    ++checking->i;
    if (static_cast<std::size_t>(checking->i) >= checking->list.size()) {
        finishCheck();
        return;
    }
    const Screen s = checking->list[static_cast<std::size_t>(checking->i)];
    checking->start = gazeNow();
    showTarget(s.id, CalCorner::c, false);
    voice.say(format("Screen %d.", s.number));
    guide.setInstruction(format("Screen %d: look at the dot in the middle.", s.number));
    after(AccuracyCheck::lookSecs, [this, alive = std::weak_ptr<int>(alive_), run = checkRun] {
        if (alive.lock() && checking && checkRun == run) {
            nextCheck();
        }
    });
}

void App::checkFeed(const std::optional<Angle>& a, double at) {
    if (!checking) {
        return;
    }
    if (std::optional<double> ring = checking->feed(a, layout(), at, headPos)) {
        overlays.progress.setValue(*ring);
    }
}

void App::finishCheck() {
    if (!checking) {
        return;
    }
    const AccuracyCheck done = std::move(*checking);
    checking.reset();
    ++checkRun;
    hideTargets();
    guide.setInstruction(std::nullopt);

    const int p = done.percent();
    std::string sentence = format("Helmvantor picked the right screen %d%% of the time.", p);
    if (std::optional<std::string> id = done.hardest()) {
        if (std::optional<Screen> s = screen(*id)) {
            sentence += format(" Screen %d was the hardest: try more eyes in Settings › Head and "
                               "eyes, or re-learn it.",
                               s->number);
        }
    }
    guide.setCheckResult(sentence);
    settings().setCheckResult(sentence);
    voice.chime("Glass");
    voice.say(format("Accuracy %d percent.", p));
    note(sentence);

    // The screens in layout order, then any that left the layout during the check.
    std::string entries;
    std::set<std::string> listed;
    auto add = [&](const std::string& id, const AccuracyCheck::Hits& h) {
        entries += format("%s%s=%d/%d", entries.empty() ? "" : " ", id.c_str(), h.ok, h.n);
        listed.insert(id);
    };
    for (const Screen& s : layout().screens) {
        auto it = done.hits.find(s.id);
        if (it != done.hits.end() && listed.count(s.id) == 0) {
            add(s.id, it->second);
        }
    }
    for (const auto& [id, h] : done.hits) {
        if (listed.count(id) == 0) {
            add(id, h);
        }
    }
    log(format("accuracy check: %d%% ", p) + entries);
}

} // namespace helm
