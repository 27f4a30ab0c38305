#pragma once

#include "desk/Defaults.h"
#include "desk/Observers.h"

#include <memory>
#include <string>

namespace helm {

// A yes/no choice kept in the user defaults under one key. Every view showing the same key of
// the same store shares one of these, so a choice made in one is shown by all at once.
class StoredChoice {
public:
    // The shared choice for key in d, made on first use; fallback is its value until written.
    static std::shared_ptr<StoredChoice> shared(Defaults& d, const std::string& key, bool fallback);

    StoredChoice(Defaults& d, std::string key, bool fallback);

    // Read from the store each time: a value of another type reads as the fallback.
    bool value() const;
    // Stored at once; observers are told.
    void set(bool v);

    Observers observers;

private:
    Defaults& d_;
    const std::string key_;
    const bool fallback_;
};

} // namespace helm
