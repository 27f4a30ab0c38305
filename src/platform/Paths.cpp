#include "platform/Paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace helm::paths {

namespace {

std::string fromEnv(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    return home() + fallback;
}

} // namespace

std::string home() {
    const char* value = std::getenv("HOME");
    if (value != nullptr && value[0] != '\0') {
        return value;
    }
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        return pw->pw_dir;
    }
    return "/tmp";
}

std::string configHome() {
    return fromEnv("XDG_CONFIG_HOME", "/.config");
}

std::string stateHome() {
    return fromEnv("XDG_STATE_HOME", "/.local/state");
}

std::string dataHome() {
    return fromEnv("XDG_DATA_HOME", "/.local/share");
}

} // namespace helm::paths
