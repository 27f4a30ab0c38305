#pragma once

#include "platform/LoginItem.h"

namespace helm {

// Starting at login as a flag in memory; failure set by tests makes every change fail.
class MemoryLoginItem : public LoginItem {
public:
    bool on = false;
    std::optional<std::string> failure;

    bool enabled() const override { return on; }
    std::optional<std::string> setEnabled(bool v) override {
        if (failure) {
            return failure;
        }
        on = v;
        return std::nullopt;
    }
};

} // namespace helm
