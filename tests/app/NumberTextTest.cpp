#include "app/NumberText.h"

#include <gtest/gtest.h>

using namespace helm;

TEST(NumberText, ShortestReadsBackExactly) {
    const std::pair<double, const char*> cases[] = {
        {0.5, "0.5"}, {1, "1.0"},      {0, "0.0"}, {-2, "-2.0"}, {0.1 + 0.2, "0.30000000000000004"},
        {0.7, "0.7"}, {1e21, "1e+21"},
    };
    for (auto [v, text] : cases) {
        EXPECT_EQ(text, shortest(v));
    }
}

TEST(NumberText, FormatSizesItsResult) {
    EXPECT_EQ("", format("%s", ""));
    EXPECT_EQ(std::string(300, 'x') + " 7", format("%s %d", std::string(300, 'x').c_str(), 7));
}
