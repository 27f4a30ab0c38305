#pragma once

#include "platform/SecretStore.h"
#include "platform/linux/FileSecretStore.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace helm {

// The keyring, or an owner-only file where the keyring can't be used. The first call decides
// for the whole run: when the keyring answers, what an earlier run without one left in the file
// moves into it first (an item the keyring already holds otherwise stays in the file,
// untouched); when the keyring fails that call in any way (no session bus, nobody answering on
// it, no keyring on it, no answer in time, locked, refused), every call goes to the file and the
// log says once where it is and why. Calls come from one thread at a time; `keptIn` and `stop`
// from any.
class FallbackSecretStore : public SecretStore {
public:
    using Log = std::function<void(const std::string&)>;

    FallbackSecretStore(std::unique_ptr<SecretStore> keyring, std::unique_ptr<FileSecretStore> file,
                        Log log);

    Read read(const std::string& account) override;
    Outcome write(const std::string& account, const std::string& value) override;
    Outcome remove(const std::string& account) override;
    std::optional<std::string> keptIn() const override;
    void stop() override;

private:
    enum class Where { undecided, keyring, file };

    std::unique_ptr<SecretStore> keyring_;
    std::unique_ptr<FileSecretStore> file_;
    Log log_;
    std::atomic<Where> where_ = Where::undecided;
    std::atomic<bool> stopped_ = false;

    // Runs op on the store this run uses; the first call chooses it.
    template <class Result> Result route(const std::function<Result(SecretStore&)>& op);
    // Moves the file's items into the keyring; true when any moved.
    bool moveIn();
};

} // namespace helm
