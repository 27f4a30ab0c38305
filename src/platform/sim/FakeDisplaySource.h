#pragma once

#include "platform/DisplaySource.h"

#include <utility>

namespace helm {

// A display list set by hand: tests, and simulation mode.
class FakeDisplaySource : public DisplaySource {
public:
    explicit FakeDisplaySource(std::vector<DisplayInfo> list = {}) : list_(std::move(list)) {}

    std::vector<DisplayInfo> displays() override { return list_; }

    // Replaces the list and tells the listener, as a reconfigured desktop would.
    void set(std::vector<DisplayInfo> list) {
        list_ = std::move(list);
        if (onChange)
            onChange();
    }

private:
    std::vector<DisplayInfo> list_;
};

} // namespace helm
