#pragma once

#include "platform/SecretStore.h"

#include <chrono>

typedef struct _GCancellable GCancellable;

namespace helm {

// The desktop's Secret Service (GNOME Keyring, KWallet…) through libsecret: one password item
// per account, under the attributes "service" and "account". Every call waits at most `limit`
// for the keyring's answer, an unlock prompt the user answers included: a keyring that never
// answers fails the call instead of holding its thread.
class LibsecretStore : public SecretStore {
public:
    static constexpr std::chrono::milliseconds answerLimit{30'000};

    explicit LibsecretStore(std::string service, std::chrono::milliseconds limit = answerLimit);
    ~LibsecretStore() override;
    LibsecretStore(const LibsecretStore&) = delete;
    LibsecretStore& operator=(const LibsecretStore&) = delete;

    Read read(const std::string& account) override;
    Outcome write(const std::string& account, const std::string& value) override;
    Outcome remove(const std::string& account) override;
    void stop() override;

private:
    std::string service_;
    std::chrono::milliseconds limit_;
    GCancellable* stopped_; // cancelled by stop()

    // A locked item looked up answers "nothing"; true (with the reason) when one exists, or
    // when the search itself fails.
    bool lockedMatchExists(const std::string& account, std::string& why);
};

} // namespace helm
