#pragma once

#include "platform/SecretStore.h"

#include <map>

namespace helm {

// Secrets kept in memory, for tests; it can be told to fail like a locked keyring.
class MemorySecretStore : public SecretStore {
public:
    std::map<std::string, std::string> items;
    bool failReads = false;
    bool failWrites = false;
    int writes = 0;

    Read read(const std::string& account) override;
    Outcome write(const std::string& account, const std::string& value) override;
    Outcome remove(const std::string& account) override;
};

} // namespace helm
