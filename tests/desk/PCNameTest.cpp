#include "desk/PCName.h"

#include <gtest/gtest.h>

using namespace helm;

TEST(PCName, SpacedAndUpperCasedByUnicodeRules) {
    struct Case {
        const char* pc;
        const char* shown;
    };
    const Case cases[] = {
        {"office-pc", "OFFICE PC"},
        {"büro-pc", "BÜRO PC"},
        {"straße-ä", "STRASSE Ä"}, // a per-byte upper-casing leaves these alone or breaks them
        {"--x", "  X"},
        {"bad\xff", "BAD\xEF\xBF\xBD"}, // malformed UTF-8 from the network: a replacement mark
    };
    for (const Case& c : cases)
        EXPECT_EQ(shownPCName(c.pc), c.shown) << c.pc;
}
