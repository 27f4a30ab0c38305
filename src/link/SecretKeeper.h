#pragma once

#include "link/Secret.h"
#include "platform/SerialQueue.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace helm {

// The link's stored secrets, read and stored off the main thread: a keyring may prompt the user
// or never answer, and the tray, the camera and the windows go on meanwhile. Calls run one at a
// time in the order given, so a save asked for after the load runs after it; each answer comes
// back on the main thread, never once the keeper is gone. Simulation mode stores nothing, so
// there its answers come at once. Main thread only.
class SecretKeeper {
public:
    SecretKeeper(SecretStore& store, KeyValueStore& defaults, Secret::Options options,
                 Secret::Log log);
    // The store's waits end first, so a keyring that never answers cannot hold up the quit.
    ~SecretKeeper();
    SecretKeeper(const SecretKeeper&) = delete;
    SecretKeeper& operator=(const SecretKeeper&) = delete;

    void loadKeys(std::vector<std::string> knownPCs, std::function<void(PCKeys)> done);
    // done (optional) hears whether the keys were stored.
    void saveKeys(PCKeys keys, std::function<void(bool)> done = nullptr);
    // A new older shared secret, and the keys emptied; done hears whether the keys were stored.
    void startOver(std::function<void(bool)> done);
    std::string hubId();
    // Hears, on the main thread, the sentences for the user about the stored keys: that they
    // can't be read, or couldn't be saved. Set before the first call.
    std::function<void(const std::string&)> onProblem;
    // At quit: what was asked gets up to `grace` to finish, then the store's waits end.
    void finish(std::chrono::milliseconds grace);

private:
    SecretStore& store_;
    Secret secret_;
    const bool simulation_;
    std::shared_ptr<char> life_ = std::make_shared<char>(0);
    SerialQueue queue_{"pivmor.secrets"}; // last: stopped first, while the rest still exists

    void run(std::function<bool()> job, std::function<void(bool)> done);
};

} // namespace helm
