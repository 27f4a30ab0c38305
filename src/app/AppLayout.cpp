#include "app/App.h"

#include "app/Log.h"

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
        return Layout::fromJson(*stored);
    } catch (const json::DecodeError&) {
        return Layout(); // the next assignment replaces the unreadable copy
    }
}

void App::setLayout(Layout layout) {
    layout_ = std::move(layout);
    if (!simOnly_) {
        try {
            d.set("layout2", layout_.toJson());
        } catch (const json::EncodeError& e) {
            // The stored copy stays as it was rather than becoming unreadable.
            log(std::string("layout not stored: ") + e.what());
        }
    }
}

std::optional<Screen> App::screen(const std::string& id) const {
    return layout_.screen(id);
}

} // namespace helm
