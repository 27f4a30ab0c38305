#pragma once

#include "desk/Json.h"

#include <optional>
#include <string>

namespace helm {

// The few user defaults the link keeps (the hub id). The application hands in its defaults
// store, so this library does not depend on it.
class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;
    virtual std::optional<json::Json> value(const std::string& key) const = 0;
    virtual void setValue(const std::string& key, const json::Json& value) = 0;
};

} // namespace helm
