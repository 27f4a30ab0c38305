#include "link/Secret.h"

#include "link/Evp.h"
#include "link/Hex.h"
#include "link/Utf8.h"

#include <algorithm>

namespace helm {

Secret::Secret(SecretStore& store, KeyValueStore& defaults, Options options, Log log)
    : store_(store), defaults_(defaults), options_(std::move(options)), log_(std::move(log)) {}

std::optional<std::string> Secret::tokenFrom(const std::vector<std::string>& args) {
    auto it = std::find(args.begin(), args.end(), "--token");
    if (it == args.end() || it + 1 == args.end()) {
        return std::nullopt;
    }
    return *(it + 1);
}

std::string Secret::load() {
    if (options_.token) {
        return *options_.token;
    }
    if (options_.simulation) {
        if (!memorySecret_) {
            memorySecret_ = PCKeys::fresh();
        }
        return *memorySecret_;
    }
    auto read = store_.read(account);
    if (read.status == SecretStore::Status::ok && isValidUtf8(read.value)) {
        secretUnsure_ = false;
        return read.value;
    }
    if (read.status == SecretStore::Status::failed) {
        secretUnsure_ = true;
        if (!memorySecret_) {
            memorySecret_ = PCKeys::fresh();
        }
        log_("secrets: couldn't read \"" + account + "\" (" + read.problem +
             "); it is left as it is and this run uses a temporary one");
        return *memorySecret_;
    }
    if (read.status == SecretStore::Status::ok) {
        log_("secrets: \"" + account + "\" is not text; replacing it");
    }
    secretUnsure_ = false;
    std::string secret = PCKeys::fresh();
    if (auto w = store_.write(account, secret); !w.ok) {
        log_("secrets: couldn't store \"" + account + "\" (" + w.problem + ")");
    }
    return secret;
}

void Secret::rotate() {
    if (options_.simulation) {
        memorySecret_.reset();
        return;
    }
    memorySecret_.reset();
    if (auto r = store_.remove(account); !r.ok) {
        log_("secrets: couldn't delete \"" + account + "\" (" + r.problem + ")");
    }
    load();
}

PCKeys Secret::loadKeys(const std::vector<std::string>& knownPCs) {
    if (options_.simulation) {
        return PCKeys();
    }
    auto read = store_.read(keysAccount);
    if (read.status == SecretStore::Status::failed) {
        keysUnsure_ = true;
        log_("secrets: couldn't read \"" + keysAccount + "\" (" + read.problem +
             "); no PC can log in this run and the stored keys are left as they are");
        if (tell) {
            tell("The PC keys can't be read, so no PC can log in this run. The log says why.");
        }
        return PCKeys();
    }
    if (read.status == SecretStore::Status::ok) {
        try {
            return PCKeys::fromJson(json::parse(read.value));
        } catch (const json::DecodeError& e) {
            log_("secrets: \"" + keysAccount + "\" doesn't decode (" + e.what() +
                 "); starting again from the shared secret");
        }
    }
    // No usable keys stored: every PC of the layouts may go on with the older shared secret
    // until it gets its own.
    PCKeys keys;
    keys.legacyNames = knownPCs;
    std::sort(keys.legacyNames.begin(), keys.legacyNames.end());
    keys.legacyNames.erase(std::unique(keys.legacyNames.begin(), keys.legacyNames.end()),
                           keys.legacyNames.end());
    if (!keys.legacyNames.empty()) {
        keys.legacy = load();
        if (secretUnsure_) {
            // Storing a temporary secret as the PCs' one would lock them out for good.
            keysUnsure_ = true;
            log_("secrets: the PC keys are kept in memory only this run");
            return keys;
        }
    }
    saveKeys(keys);
    return keys;
}

bool Secret::saveKeys(const PCKeys& keys) {
    if (options_.simulation) {
        return true;
    }
    if (keysUnsure_) {
        return notSaved("the stored ones couldn't be read at start",
                        "the stored ones couldn't be read");
    }
    std::string text;
    try {
        text = json::dump(keys.toJson());
    } catch (const std::exception& e) {
        return notSaved(e.what(), {});
    }
    if (auto w = store_.write(keysAccount, text); !w.ok) {
        return notSaved(w.problem, w.reason);
    }
    unsaved_ = false;
    return true;
}

bool Secret::notSaved(const std::string& problem, const std::string& reason) {
    log_("secrets: the PC keys were not saved (" + problem + ")");
    if (!unsaved_ && tell) {
        tell(reason.empty() ? "Couldn't save the PC keys. The log says why."
                            : "Couldn't save the PC keys: " + reason + ".");
    }
    unsaved_ = true;
    return false;
}

std::string Secret::hubId() {
    if (!options_.simulation) {
        if (auto stored = defaults_.value("hubId");
            stored && stored->is_string() && isLowerHex(stored->get<std::string>(), 16)) {
            return stored->get<std::string>();
        }
    }
    std::string id = hex(randomBytes(8));
    if (!options_.simulation) {
        defaults_.setValue("hubId", id);
    }
    return id;
}

} // namespace helm
