#pragma once

#include "platform/SecretStore.h"

namespace helm {

// The desktop's Secret Service (GNOME Keyring, KWallet…) through libsecret: one password item
// per account, under the attributes "service" and "account".
class LibsecretStore : public SecretStore {
public:
    explicit LibsecretStore(std::string service);

    Read read(const std::string& account) override;
    Outcome write(const std::string& account, const std::string& value) override;
    Outcome remove(const std::string& account) override;

private:
    std::string service_;
};

} // namespace helm
