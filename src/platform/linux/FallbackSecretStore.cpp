#include "platform/linux/FallbackSecretStore.h"

namespace helm {

FallbackSecretStore::FallbackSecretStore(std::unique_ptr<SecretStore> keyring,
                                         std::unique_ptr<FileSecretStore> file, Log log)
    : keyring_(std::move(keyring)), file_(std::move(file)), log_(std::move(log)) {}

namespace {

bool failed(const SecretStore::Read& r) {
    return r.status == SecretStore::Status::failed;
}

bool failed(const SecretStore::Outcome& r) {
    return !r.ok;
}

} // namespace

template <class Result>
Result FallbackSecretStore::route(const std::function<Result(SecretStore&)>& op) {
    const Where where = where_;
    if (where == Where::file) {
        return op(*file_);
    }
    Result r = op(*keyring_);
    if (where == Where::keyring || stopped_) {
        return r; // a call cut short at quit decides nothing
    }
    if (failed(r)) {
        // Missing, unreachable, silent, locked or refusing: the keyring's items stay as they
        // are, untouched, and this run keeps its secrets in the file.
        where_ = Where::file;
        log_("secrets: the keyring can't be used (" + r.problem + "); the secret and the PC " +
             "keys are kept in " + file_->path() + ", readable only by you");
        return op(*file_);
    }
    where_ = Where::keyring;
    // What was kept in the file before belongs in the keyring now; the answer is asked again
    // when it may have changed.
    return moveIn() ? op(*keyring_) : r;
}

bool FallbackSecretStore::moveIn() {
    std::string problem;
    std::optional<FileSecretStore::Items> held = file_->items(&problem);
    if (!held) {
        log_("secrets: " + problem + "; it is left as it is");
        return false;
    }
    bool moved = false;
    for (const auto& [account, value] : *held) {
        Read there = keyring_->read(account);
        if (there.status == Status::failed) {
            log_("secrets: \"" + account + "\" stays in " + file_->path() +
                 ": the keyring can't be read (" + there.problem + ")");
            continue;
        }
        if (there.status == Status::ok && there.value != value) {
            log_("secrets: the keyring already holds \"" + account + "\"; the copy in " +
                 file_->path() + " is left as it is");
            continue;
        }
        if (there.status == Status::notFound) {
            if (Outcome w = keyring_->write(account, value); !w.ok) {
                log_("secrets: couldn't move \"" + account + "\" into the keyring (" + w.problem +
                     ")");
                continue;
            }
            moved = true;
        }
        if (file_->remove(account).ok) {
            log_("secrets: \"" + account + "\" moved from " + file_->path() + " into the keyring");
        }
    }
    file_->removeIfEmpty();
    return moved;
}

SecretStore::Read FallbackSecretStore::read(const std::string& account) {
    return route<Read>([&](SecretStore& s) { return s.read(account); });
}

SecretStore::Outcome FallbackSecretStore::write(const std::string& account,
                                                const std::string& value) {
    return route<Outcome>([&](SecretStore& s) { return s.write(account, value); });
}

SecretStore::Outcome FallbackSecretStore::remove(const std::string& account) {
    return route<Outcome>([&](SecretStore& s) { return s.remove(account); });
}

void FallbackSecretStore::stop() {
    stopped_ = true;
    keyring_->stop();
}

std::optional<std::string> FallbackSecretStore::keptIn() const {
    if (where_ == Where::file) {
        return file_->path();
    }
    return std::nullopt;
}

} // namespace helm
