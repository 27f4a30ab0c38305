#include "link/Clip.h"

#include <gtest/gtest.h>

namespace helm {
namespace {

TEST(Clip, BytesAndSummary) {
    struct Case {
        Clip clip;
        std::size_t bytes;
        std::string summary;
    };
    const Case cases[] = {
        {Clip::text("héllo"), 6, "text (5 chars)"},
        {Clip::text(""), 0, "text (0 chars)"},
        // A family emoji joined by zero-width joiners and a flag: one character each.
        {Clip::text("\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x91\xa7"
                    "\xf0\x9f\x87\xa9\xf0\x9f\x87\xaa"),
         26, "text (2 chars)"},
        {Clip::text("e\xcc\x81"), 3, "text (1 chars)"}, // e and a combining acute
        {Clip::text("a\r\nb"), 4, "text (3 chars)"},    // CR LF counts once
        {Clip::image(Bytes(1023)), 1023, "picture (0 KB)"},
        {Clip::image(Bytes(2048)), 2048, "picture (2 KB)"},
        {Clip::files({}), 0, "0 files"},
        {Clip::files({{"a.txt", Bytes(10)}}), 10, "1 file (a.txt)"},
        {Clip::files({{"a", Bytes(10)}, {"b", Bytes(5)}}), 15, "2 files"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.clip.bytes(), c.bytes) << c.summary;
        EXPECT_EQ(c.clip.summary(), c.summary);
    }
}

} // namespace
} // namespace helm
