#include "gaze/SearchPacer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace helm;

TEST(SearchPacer, SearchesEveryFrameJustAfterAFaceAndSpacedOutOnceNobodyIsThere) {
    // Frames read at 15 Hz; a face in the frames marked 'F', none in those marked '.'. The
    // expected pattern marks the frames searched with 's'.
    struct Case {
        const char* what;
        std::string faces;
        std::string searched;
    };
    const Case cases[] = {
        {"nobody from the start: the first frame, then every third", "..........", "s..s..s..s"},
        {"a face throughout", "FFFFFFFFFF", "ssssssssss"},
        {"a face leaves: a second of searching every frame, then every third",
         "FF....................", "sssssssssssssssss..s.."},
        {"a face returns while searches are spaced: found at the next search",
         "F.....................FFFF", "ssssssssssssssss..s..s..ss"},
    };
    for (const auto& c : cases) {
        SearchPacer pacer;
        std::string got;
        for (std::size_t i = 0; i < c.faces.size(); ++i) {
            const double t = 50 + static_cast<double>(i) / 15;
            const bool search = pacer.shouldSearch(t);
            got += search ? 's' : '.';
            pacer.saw(search && c.faces[i] == 'F', t);
        }
        EXPECT_EQ(got, c.searched) << c.what;
    }
}

TEST(SearchPacer, AClockThatStartsAgainSearchesAtOnce) {
    SearchPacer pacer;
    ASSERT_TRUE(pacer.shouldSearch(100));
    EXPECT_FALSE(pacer.shouldSearch(100.1));
    EXPECT_TRUE(pacer.shouldSearch(3)) << "a frame time before the last search";
    EXPECT_FALSE(pacer.shouldSearch(3.1));
    pacer.restart();
    EXPECT_TRUE(pacer.shouldSearch(3.15)) << "a new capture";
}
