#include "link/Base64.h"
#include "link/Decimal.h"
#include "link/Hex.h"
#include "link/Utf8.h"

#include <gtest/gtest.h>

#include <limits>

namespace helm {
namespace {

TEST(Base64, Rfc4648Vectors) {
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
    };
    for (auto [plain, encoded] : vectors) {
        EXPECT_EQ(base64Encode(std::string_view(plain)), encoded);
        auto back = base64Decode(encoded);
        ASSERT_TRUE(back) << encoded;
        EXPECT_EQ(asText(*back), plain);
    }
}

TEST(Base64, AllByteValuesRoundTrip) {
    Bytes all;
    for (int i = 0; i < 256; ++i) {
        all.push_back(static_cast<std::uint8_t>(i));
    }
    std::string text = base64Encode(all);
    EXPECT_NE(text.find('+'), std::string::npos);
    EXPECT_NE(text.find('/'), std::string::npos);
    EXPECT_EQ(base64Decode(text), all);
}

TEST(Base64, RefusesEverythingLenient) {
    for (const char* bad : {
             "Zg",       // missing padding
             "Zg=",      // short padding
             "Zm9v ",    // trailing space
             " Zm9v",    // leading space
             "Zm9v\n",   // line break
             "Zm\n9v",   // line break inside
             "Zm-_",     // URL-safe alphabet
             "Zg==Zg==", // padding in the middle
             "Z===",     // three pad characters
             "====",     // padding only
             "Zh==",     // non-zero bits after the last byte
             "Zm9=",     // same with one pad character
             "Zm9v=",    // length not a multiple of four
         }) {
        EXPECT_FALSE(base64Decode(bad)) << bad;
    }
    EXPECT_FALSE(base64Decode(std::string_view("Zm9v\0\0\0\0", 8)));
}

TEST(Hex, LowercaseTwoDigitsPerByte) {
    EXPECT_EQ(hex(Bytes{0x00, 0x0f, 0xa0, 0xff}), "000fa0ff");
    EXPECT_EQ(hex(Bytes{}), "");
    EXPECT_TRUE(isLowerHex("0123456789abcdef", 16));
    EXPECT_FALSE(isLowerHex("0123456789ABCDEF", 16));
    EXPECT_FALSE(isLowerHex("0123456789abcde", 16));
    EXPECT_FALSE(isLowerHex("0123456789abcdeg", 16));
}

TEST(Decimal, ParsesSignedTokens) {
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
        {"0", 0},
        {"42", 42},
        {"+42", 42},
        {"-42", -42},
        {"-0", 0},
        {"007", 7},
        {"9223372036854775807", max},
        {"+9223372036854775807", max},
        {"-9223372036854775808", min},
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"+-5", std::nullopt},
        {"--5", std::nullopt},
        {"5 ", std::nullopt},
        {" 5", std::nullopt},
        {"5x", std::nullopt},
        {"0x10", std::nullopt},
        {"1e3", std::nullopt},
        {"1.0", std::nullopt},
    };
    for (auto [token, expected] : cases) {
        EXPECT_EQ(parseDecimal(token), expected) << '"' << token << '"';
    }
}

TEST(Decimal, WritesPlainForm) {
    EXPECT_EQ(decimal(0), "0");
    EXPECT_EQ(decimal(-17), "-17");
    EXPECT_EQ(decimal(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

TEST(Utf8, StrictValidation) {
    const std::pair<std::string, bool> cases[] = {
        {"", true},
        {"plain ascii text, long enough for the fast path", true},
        {"caf\xc3\xa9", true},
        {"\xe2\x82\xac", true},         // euro sign
        {"\xf0\x9f\x98\x80", true},     // emoji
        {std::string("a\0b", 3), true}, // NUL is a scalar like any other
        {"\xc3", false},                // cut off
        {"\xc0\xaf", false},            // overlong "/"
        {"\xe0\x80\xaf", false},        // overlong, three bytes
        {"\xed\xa0\x80", false},        // surrogate
        {"\xf4\x90\x80\x80", false},    // above U+10FFFF
        {"\xff", false},
        {"\x80", false},             // stray continuation byte
        {"abcdefgh\xe2\x82", false}, // cut off after an ASCII run
    };
    for (const auto& [text, valid] : cases) {
        EXPECT_EQ(isValidUtf8(text), valid) << hex(asBytes(text));
    }
}

} // namespace
} // namespace helm
