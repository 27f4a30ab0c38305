#pragma once

#include "platform/DefaultsStorage.h"

#include <string>

namespace helm {

// The user defaults as one JSON file, replaced atomically on every save. Updates hold an
// advisory lock (flock on a ".lock" file beside it, since the document itself is replaced),
// so two running copies take turns.
class DefaultsFile : public DefaultsStorage {
public:
    explicit DefaultsFile(std::string path);

    // $XDG_CONFIG_HOME/com.pardwell.pivmor/defaults.json
    static std::string standardPath();

    const std::string& path() const { return path_; }

    Loaded load() override;
    std::optional<std::string> save(const std::string& text) override;
    std::optional<std::string> setAside() override;
    std::optional<std::string> update(const Change& change) override;

private:
    std::string path_;
};

} // namespace helm
