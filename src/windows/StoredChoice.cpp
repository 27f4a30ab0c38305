#include "windows/StoredChoice.h"

#include <map>
#include <utility>

namespace helm {

std::shared_ptr<StoredChoice> StoredChoice::shared(Defaults& d, const std::string& key,
                                                   bool fallback) {
    // Weak, so a choice lives only while a view shows it; main thread only, like the views.
    static std::map<std::pair<const Defaults*, std::string>, std::weak_ptr<StoredChoice>> all;
    std::weak_ptr<StoredChoice>& slot = all[{&d, key}];
    std::shared_ptr<StoredChoice> choice = slot.lock();
    if (!choice) {
        choice = std::make_shared<StoredChoice>(d, key, fallback);
        slot = choice;
    }
    return choice;
}

StoredChoice::StoredChoice(Defaults& d, std::string key, bool fallback)
    : d_(d), key_(std::move(key)), fallback_(fallback) {}

bool StoredChoice::value() const {
    return d_.boolean(key_).value_or(fallback_);
}

void StoredChoice::set(bool v) {
    d_.set(key_, v);
    observers.notify();
}

} // namespace helm
