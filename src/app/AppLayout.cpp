#include "app/App.h"

#include "app/HostName.h"
#include "app/Log.h"
#include "app/ScreenWatch.h"
#include "desk/DisplayList.h"

#include <algorithm>
#include <utility>

namespace helm {

Layout App::storedLayout() const {
    if (simOnly_) {
        return Layout();
    }
    std::optional<json::Json> stored = d.value("layout2");
    if (!stored) {
        return Layout();
    }
    try {
        std::vector<std::string> dropped;
        Layout layout = Layout::fromJson(*stored, &dropped);
        if (!dropped.empty()) {
            // The next assignment stores the layout without what was dropped: keep the original.
            d.set("layout2.unreadable", *stored);
        }
        for (const std::string& line : dropped) {
            log("layout2: " + line + ", kept as layout2.unreadable");
        }
        return layout;
    } catch (const json::DecodeError&) {
        return Layout(); // the next assignment replaces the unreadable copy
    }
}

void App::setLayout(Layout layout) {
    layout_ = std::move(layout);
    DeskModel& model = desk();
    model.layout = layout_;
    model.changed();
    guide.screensChanged();
    setups().store(layout_);
    deskHeld_ = true;
    // A drag or slide changes the desk many times a second: its stored copies are encoded
    // with the next write of what the drag holds back, not at every step.
    if (!d.live()) {
        storeDesk();
    } else if (!storeTimer_->isActive()) {
        storeTimer_->start();
    }
}

void App::storeDesk() {
    if (!deskHeld_) {
        return;
    }
    deskHeld_ = false;
    // "layout2" and "setups" reach the file in one write.
    Defaults::Batch together(d);
    if (!simOnly_) {
        try {
            d.set("layout2", layout_.toJson());
        } catch (const json::EncodeError& e) {
            // The stored copy stays as it was rather than becoming unreadable.
            log(std::string("layout not stored: ") + e.what());
        }
    }
    saveSetups();
}

std::optional<Screen> App::screen(const std::string& id) const {
    return layout_.screen(id);
}

void App::watchDisplays() {
    syncMacDisplays();
    // The desktop's own notices and Qt's screen signals often come together for one change:
    // one zero-delay timer runs them as one merge.
    screenWatch_ = std::make_unique<ScreenWatch>([this] { syncMacDisplays(); });
    if (platform_.displays) {
        platform_.displays->onChange = [this] { screenWatch_->changed(); };
    }
}

void App::syncMacDisplays() {
    std::vector<DisplayInfo> all =
        platform_.displays ? platform_.displays->displays() : std::vector<DisplayInfo>{};
    DisplayList listed = macDisplays(all);
    // While the desktop reconfigures it may list no display for a moment; that must neither
    // start a setup nor drop this computer's screens. Said only when there are screens to keep.
    if (listed.kept.empty() && listed.unplaced.empty()) {
        if (std::any_of(layout_.screens.begin(), layout_.screens.end(),
                        [](const Screen& s) { return s.local(); })) {
            log("displays: none listed, desk kept");
        }
        return;
    }
    std::set<std::string> ids;
    for (const auto* group : {&listed.kept, &listed.unplaced}) {
        for (const DisplayInfo& display : *group) {
            ids.insert("mac/" + display.key);
        }
    }
    checkSetup(ids);
    Layout merged = layout_;
    for (const std::string& line : merged.sync(std::nullopt, hostName("This computer"), all)) {
        log(line);
    }
    setLayout(std::move(merged));
    updateMoveRoute();
}

} // namespace helm
