#pragma once

#include <optional>
#include <string>

namespace helm {

// Whether the program starts when the user logs in. Main thread only.
class LoginItem {
public:
    virtual ~LoginItem() = default;

    // Whether the entry in force would start the program at the next login.
    virtual bool enabled() const = 0;
    // Turns starting at login on or off; the reason on failure, nothing on success.
    virtual std::optional<std::string> setEnabled(bool on) = 0;
};

} // namespace helm
