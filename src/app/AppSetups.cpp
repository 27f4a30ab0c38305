// The named desks on the application's side: loading and saving them, recognising the desk
// from the plugged monitors, and the user's switch, new, rename and delete.
#include "app/App.h"

#include "app/Log.h"

#include <QString>

#include <algorithm>

namespace helm {

namespace {

// Spaces, tabs and the other Unicode space separators at both ends; line breaks stay.
std::string trimBlanks(const std::string& text) {
    const QString s = QString::fromStdString(text);
    auto blank = [](QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; };
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && blank(s[from])) {
        ++from;
    }
    while (to > from && blank(s[to - 1])) {
        --to;
    }
    return s.mid(from, to - from).toStdString();
}

} // namespace

Setups& App::setups() {
    if (setups_) {
        return *setups_;
    }
    if (!simOnly_) {
        if (std::optional<json::Json> stored = d.value("setups")) {
            try {
                std::vector<std::string> dropped;
                setups_ = Setups::fromJson(*stored, &dropped);
                if (!dropped.empty()) {
                    d.set("setups.unreadable", *stored);
                }
                for (const std::string& line : dropped) {
                    log("setups: " + line + ", kept as setups.unreadable");
                }
                return *setups_;
            } catch (const json::DecodeError& e) {
                // The first save replaces it: keep a copy the user can still recover.
                log(std::string("setups unreadable, kept as setups.unreadable: ") + e.what());
                d.set("setups.unreadable", *stored);
            }
        }
    }
    setups_.emplace();
    setups_->list.push_back({"Home", layout_});
    return *setups_;
}

void App::saveSetups() {
    if (simOnly_) {
        return;
    }
    try {
        std::string refused;
        if (!d.set("setups", setups().toJson(), &refused)) {
            throw json::EncodeError(refused);
        }
    } catch (const json::EncodeError& e) {
        // The stored value stays as it was rather than becoming unreadable.
        log(std::string("setups not stored: ") + e.what());
    }
}

void App::checkSetup(const std::optional<std::set<std::string>>& macScreens) {
    Setups& all = setups();
    const std::set<std::string> mac =
        macScreens ? *macScreens : Setups::Setup{"", layout_}.macScreens();
    if (std::optional<std::string> name = all.better(mac, connected)) {
        useSetup(*name, true);
        return;
    }
    const bool learned = std::any_of(layout_.screens.begin(), layout_.screens.end(),
                                     [](const Screen& s) { return s.learned; });
    if (!macScreens || all.fits(mac) || !learned) {
        return;
    }
    // A calibrated desk meets monitors no setup knows: it keeps its setup and the new desk
    // starts as a copy, which the caller's merge then fits to the new monitors.
    all.store(layout_);
    const std::string name =
        mac.size() == 1 && !all.find("One monitor") ? "One monitor" : all.freshName();
    all.list.push_back({name, layout_});
    all.active = name;
    saveSetups();
    note("New desk. Helmvantor started a \u201C" + name +
         "\u201D setup: choose Calibrate to teach it these screens.");
    log("new desk → setup " + name);
}

void App::useSetup(const std::string& name, bool automatic) {
    Setups& all = setups();
    if (name == all.active) {
        return;
    }
    const Setups::Setup* found = all.find(name);
    if (!found) {
        return;
    }
    stopCalibrationForSetupChange(); // one desk's steps never fit another setup's layout
    Layout target = found->layout;   // before the store below may move the list
    all.store(layout_);
    all.active = name;
    setLayout(std::move(target));
    picker = GazePicker();
    if (automatic) {
        note("Using your " + name + " setup.");
    }
    log("setup → " + name + (automatic ? " (auto)" : ""));
    refresh();
}

void App::newSetup() {
    Setups& all = setups();
    all.store(layout_);
    const std::string name = all.freshName();
    all.list.push_back({name, layout_});
    all.active = name;
    saveSetups();
    log("new setup " + name);
    refresh();
    calibrateInGuide(false);
}

void App::renameSetup(const std::string& old, const std::string& name) {
    Setups& all = setups();
    const std::string trimmed = trimBlanks(name);
    if (trimmed.empty() || all.find(trimmed)) {
        return;
    }
    Setups::Setup* s = all.find(old);
    if (!s) {
        return;
    }
    s->name = trimmed;
    if (all.active == old) {
        all.active = trimmed;
    }
    saveSetups();
    refresh();
}

void App::deleteSetup(const std::string& name) {
    Setups& all = setups();
    if (all.list.size() < 2 || name == all.active) {
        return;
    }
    if (std::erase_if(all.list, [&](const Setups::Setup& s) { return s.name == name; }) == 0) {
        return;
    }
    saveSetups();
    refresh();
}

} // namespace helm
