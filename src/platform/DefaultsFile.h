#pragma once

#include "platform/DefaultsStorage.h"

#include <cstdint>
#include <string>

namespace helm {

// The user defaults as one JSON file, replaced whole on every save (a save that fails leaves
// the old file as it was). Updates hold an advisory lock (flock on a ".lock" file beside it,
// since the document itself is replaced), so two running copies take turns. A file larger than
// `most` bytes is refused unread, as damaged: it is left as it is.
class DefaultsFile : public DefaultsStorage {
public:
    // Far more than the layouts, setups and calibrations of any desk, and still read in a
    // fraction of a second.
    static constexpr std::uint64_t mostBytes = 8'000'000;

    explicit DefaultsFile(std::string path, std::uint64_t most = mostBytes);

    // $XDG_CONFIG_HOME/com.pardwell.pivmor/defaults.json
    static std::string standardPath();

    const std::string& path() const { return path_; }

    Loaded load() override;
    std::optional<WriteFailure> save(const std::string& text) override;
    std::optional<std::string> setAside() override;
    std::optional<WriteFailure> update(const Change& change) override;

private:
    std::string path_;
    std::uint64_t most_;
};

} // namespace helm
