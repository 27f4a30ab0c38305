#include "platform/sim/MemorySecretStore.h"

namespace helm {

bool MemorySecretStore::unanswered() {
    if (!holdCalls) {
        return false;
    }
    std::unique_lock lock(m_);
    woken_.wait(lock, [this] { return stopped_.load(); });
    return true;
}

void MemorySecretStore::stop() {
    std::lock_guard lock(m_);
    stopped_ = true;
    woken_.notify_all();
}

SecretStore::Read MemorySecretStore::read(const std::string& account) {
    if (unanswered()) {
        return {Status::failed, {}, "the keyring didn't answer"};
    }
    if (noService) {
        return {Status::failed, {}, "no keyring answers"};
    }
    if (failReads) {
        return {Status::failed, {}, "the keyring is locked"};
    }
    auto it = items.find(account);
    if (it == items.end()) {
        return {Status::notFound, {}, {}};
    }
    return {Status::ok, it->second, {}};
}

SecretStore::Outcome MemorySecretStore::write(const std::string& account,
                                              const std::string& value) {
    if (unanswered()) {
        return {false, "the keyring didn't answer"};
    }
    if (noService) {
        return {false, "no keyring answers"};
    }
    if (failWrites) {
        return {false, "the keyring refused the change"};
    }
    ++writes;
    items[account] = value;
    return {true, {}};
}

SecretStore::Outcome MemorySecretStore::remove(const std::string& account) {
    if (unanswered()) {
        return {false, "the keyring didn't answer"};
    }
    if (noService) {
        return {false, "no keyring answers"};
    }
    if (failWrites) {
        return {false, "the keyring refused the change"};
    }
    items.erase(account);
    return {true, {}};
}

} // namespace helm
