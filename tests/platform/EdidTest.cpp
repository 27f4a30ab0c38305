#include "platform/Edid.h"

#include <gtest/gtest.h>

using namespace helm;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A base block with the given identity bytes (8–15) and optional name descriptor, checksummed.
Bytes block(std::initializer_list<std::uint8_t> id, const char* name = nullptr) {
    Bytes b(128, 0);
    const std::uint8_t header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(header, header + 8, b.begin());
    std::copy(id.begin(), id.end(), b.begin() + 8);
    if (name != nullptr) {
        b[72 + 3] = 0xFC; // the second descriptor
        for (std::size_t i = 0; name[i] != 0 && i < 13; ++i) {
            b[72 + 5 + i] = std::uint8_t(name[i]);
        }
    }
    unsigned sum = 0;
    for (int i = 0; i < 127; ++i) {
        sum += b[i];
    }
    b[127] = std::uint8_t((256 - sum % 256) % 256);
    return b;
}

} // namespace

TEST(Edid, ReadsTheKeyInEachFieldsByteOrderAndRefusesBrokenBlocks) {
    Bytes bad = block({0x10, 0xAC});
    bad[20] ^= 1;
    Bytes header = block({0x10, 0xAC});
    Bytes shortBlob = block({1});
    shortBlob.pop_back();
    header[0] = 1;
    header[127] -= 1; // still sums to zero: only the header is wrong
    Bytes extended = block({0x10, 0xAC, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12}, "U2720Q\n  ");
    extended.resize(256, 0xEE); // an extension block that is not checked
    struct Case {
        const char* name;
        Bytes bytes;
        std::optional<std::string> key;
        std::optional<std::string> monitor;
    };
    const Case cases[] = {
        {"vendor big-endian, model and serial little-endian",
         block({0x10, 0xAC, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12}), "4268-4660-305419896",
         std::nullopt},
        {"the top bits of every field", block({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),
         "65535-65535-4294967295", std::nullopt},
        {"a name descriptor ends at its line feed", extended, "4268-4660-305419896", "U2720Q"},
        {"bytes outside printable ASCII are dropped",
         block({}, "A\x01\xC3"
                   "B   "),
         "0-0-0", "AB"},
        {"bad checksum", bad, std::nullopt, std::nullopt},
        {"bad header", header, std::nullopt, std::nullopt},
        {"short blob", shortBlob, std::nullopt, std::nullopt},
        {"nothing", Bytes(), std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        std::optional<Edid> e = Edid::read(c.bytes);
        EXPECT_EQ(c.key, e ? std::optional(e->key) : std::nullopt) << c.name;
        EXPECT_EQ(c.monitor, e ? e->name : std::nullopt) << c.name;
    }
}
