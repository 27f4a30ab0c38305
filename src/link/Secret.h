#pragma once

#include "link/KeyValueStore.h"
#include "link/PCKeys.h"
#include "platform/SecretStore.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace helm {

// The stored secrets of the link: the older shared secret ("hub-secret"), the per-PC keys
// ("pc-keys") and the hub id in the defaults. In simulation mode nothing is read or stored.
//
// A read that fails for any reason other than "not found" (keyring locked, access refused,
// service not up yet) never leads to a new item or an overwrite: this run goes on with what it
// has in memory and says so in the log, so a locked keyring at login cannot wipe every PC's key.
class Secret {
public:
    static inline const std::string service = "com.pardwell.pivmor";
    static inline const std::string account = "hub-secret";
    static inline const std::string keysAccount = "pc-keys";

    struct Options {
        bool simulation = false;
        std::optional<std::string> token; // "--token": used in place of the stored secret
    };

    using Log = std::function<void(const std::string&)>;

    Secret(SecretStore& store, KeyValueStore& defaults, Options options, Log log);

    // The value after the first "--token", when one follows it.
    static std::optional<std::string> tokenFrom(const std::vector<std::string>& args);

    // The older shared secret, made and stored when there is none.
    std::string load();
    // Deletes the stored older secret and loads (so makes) a new one.
    void rotate();

    // The keys to start the hub with. Without stored keys, the PCs of the layouts (`knownPCs`)
    // may keep logging in with the older shared secret until each gets its own.
    PCKeys loadKeys(const std::vector<std::string>& knownPCs);
    // Stores the keys; false (and a log line) when they could not be stored.
    bool saveKeys(const PCKeys& keys);

    std::string hubId();

    // Tells the user, in a sentence, what went wrong with the stored keys: that they can't be
    // read, and that they couldn't be saved (once, and again only after a save that worked).
    // Runs on the caller's thread.
    Log tell;

private:
    SecretStore& store_;
    KeyValueStore& defaults_;
    Options options_;
    Log log_;
    std::optional<std::string> memorySecret_; // the secret of this run when none is stored
    bool secretUnsure_ = false;               // the stored secret could not be read this run
    bool keysUnsure_ = false; // the stored keys could not be read: never overwrite them
    bool unsaved_ = false;    // the last save of the keys failed, and the user was told

    // The keys were not saved: says why in the log, and to the user once.
    bool notSaved(const std::string& problem, const std::string& reason);
};

} // namespace helm
