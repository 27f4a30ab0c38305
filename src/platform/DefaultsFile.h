#pragma once

#include "platform/DefaultsStorage.h"

#include <string>

namespace helm {

// The user defaults as one JSON file, replaced atomically on every save.
class DefaultsFile : public DefaultsStorage {
public:
    explicit DefaultsFile(std::string path);

    // $XDG_CONFIG_HOME/com.pardwell.pivmor/defaults.json
    static std::string standardPath();

    const std::string& path() const { return path_; }

    Loaded load() override;
    std::optional<std::string> save(const std::string& text) override;
    std::optional<std::string> setAside() override;

private:
    std::string path_;
};

} // namespace helm
