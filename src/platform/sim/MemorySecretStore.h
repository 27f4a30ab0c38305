#pragma once

#include "platform/SecretStore.h"

#include <map>

namespace helm {

// Secrets kept in memory, for tests; it can be told to fail like a locked keyring, or like a
// desktop where no keyring answers at all.
class MemorySecretStore : public SecretStore {
public:
    std::map<std::string, std::string> items;
    bool failReads = false;
    bool failWrites = false;
    bool noService = false;
    int writes = 0;

    Read read(const std::string& account) override;
    Outcome write(const std::string& account, const std::string& value) override;
    Outcome remove(const std::string& account) override;
};

} // namespace helm
