#pragma once

#include "platform/SecretStore.h"

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>

namespace helm {

// Secrets kept in memory, for tests; it can be told to fail like a locked keyring, like a
// desktop where no keyring answers at all, or to keep every call waiting until it is stopped,
// like a keyring whose unlock prompt nobody answers.
class MemorySecretStore : public SecretStore {
public:
    std::map<std::string, std::string> items;
    bool failReads = false;
    bool failWrites = false;
    bool noService = false;
    bool holdCalls = false; // set before the store is used from another thread
    int writes = 0;

    Read read(const std::string& account) override;
    Outcome write(const std::string& account, const std::string& value) override;
    Outcome remove(const std::string& account) override;
    void stop() override;
    bool stopped() const { return stopped_; }

private:
    std::mutex m_;
    std::condition_variable woken_;
    std::atomic<bool> stopped_ = false;

    // Waits while calls are held; true when the call is to fail as unanswered.
    bool unanswered();
};

} // namespace helm
