#pragma once

#include "desk/Json.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace helm {

// The secrets PCs prove at login: each paired PC's own, and the older secret shared by every PC
// from before per-PC secrets, kept only while some PC still uses it.
struct PCKeys {
    std::map<std::string, std::string> perPC;
    std::optional<std::string> legacy;
    std::vector<std::string> legacyNames; // the PCs still allowed to log in with `legacy`
    // The own secret each PC of `legacyNames` is being given: stored before the PC hears it, so
    // a PC that took it can log in with it in any later run, acknowledged or not.
    std::map<std::string, std::string> rekeying;

    struct Found {
        std::string key;
        bool legacy = false; // true: the PC should be moved to a secret of its own
        friend bool operator==(const Found&, const Found&) = default;
    };

    friend bool operator==(const PCKeys&, const PCKeys&) = default;

    // The PC's own secret, else the older shared one when the PC may still use it.
    std::optional<Found> secret(const std::string& name) const;

    // Gives the PC its own secret and takes it off the older secret's list (and `rekeying`).
    void set(const std::string& name, const std::string& secret);

    void forget(const std::string& name);

    // 24 random bytes as 48 lowercase hexadecimal characters.
    static std::string fresh();

    json::Json toJson() const;
    static PCKeys fromJson(const json::Json& j); // throws json::DecodeError

private:
    void dropLegacyName(const std::string& name);
};

} // namespace helm
