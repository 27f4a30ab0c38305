#pragma once

#include "desk/Defaults.h"
#include "link/KeyValueStore.h"

namespace helm {

// The user defaults as the link's secrets see them (for the hub id).
class DefaultsKeyValues : public KeyValueStore {
public:
    explicit DefaultsKeyValues(Defaults& d) : d_(d) {}
    std::optional<json::Json> value(const std::string& key) const override { return d_.value(key); }
    void setValue(const std::string& key, const json::Json& value) override { d_.set(key, value); }

private:
    Defaults& d_;
};

} // namespace helm
