#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace helm;

TEST(Paths, XdgVariablesWinOnlyWhenAbsolute) {
    struct Case {
        const char* value; // nullptr: unset
        const char* config;
    };
    const Case cases[] = {
        {"/x/conf", "/x/conf"},
        {nullptr, "/home/u/.config"},
        {"", "/home/u/.config"},
        {"relative/conf", "/home/u/.config"},
    };
    setenv("HOME", "/home/u", 1);
    for (const auto& c : cases) {
        if (c.value != nullptr) {
            setenv("XDG_CONFIG_HOME", c.value, 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
        EXPECT_EQ(c.config, paths::configHome()) << (c.value ? c.value : "(unset)");
    }
    unsetenv("XDG_STATE_HOME");
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ("/home/u/.local/state", paths::stateHome());
    EXPECT_EQ("/home/u/.local/share", paths::dataHome());
}
