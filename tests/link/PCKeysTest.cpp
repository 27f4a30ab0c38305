#include "link/PCKeys.h"
#include "link/Hex.h"

#include <gtest/gtest.h>

namespace helm {
namespace {

PCKeys sample() {
    PCKeys k;
    k.perPC = {{"desk", "own"}};
    k.legacy = "old";
    k.legacyNames = {"lab", "desk", "lab", "den"};
    k.rekeying = {{"den", "pending"}};
    return k;
}

TEST(PCKeys, SecretPrefersTheOwnOne) {
    PCKeys k = sample();
    EXPECT_EQ(k.secret("desk"), (PCKeys::Found{"own", false}));
    EXPECT_EQ(k.secret("lab"), (PCKeys::Found{"old", true}));
    EXPECT_EQ(k.secret("nobody"), std::nullopt);
    k.legacy.reset();
    EXPECT_EQ(k.secret("lab"), std::nullopt);
}

TEST(PCKeys, SetAndForgetKeepTheLegacyList) {
    struct Step {
        const char* op;
        const char* name;
        std::vector<std::string> names; // legacy names after the step
        bool legacy;                    // legacy secret still there
    };
    const Step steps[] = {
        {"set", "lab", {"desk", "den"}, true}, // both occurrences go
        {"forget", "nobody", {"desk", "den"}, true},
        {"forget", "desk", {"den"}, true},
        {"set", "den", {}, false}, // the last one moved: the old secret goes too
    };
    PCKeys k = sample();
    for (const auto& s : steps) {
        if (std::string(s.op) == "set") {
            k.set(s.name, "new-" + std::string(s.name));
            EXPECT_EQ(k.perPC.at(s.name), "new-" + std::string(s.name));
        } else {
            k.forget(s.name);
            EXPECT_EQ(k.perPC.count(s.name), 0u);
        }
        EXPECT_EQ(k.legacyNames, s.names) << s.op << " " << s.name;
        EXPECT_EQ(k.legacy.has_value(), s.legacy) << s.op << " " << s.name;
    }
    EXPECT_TRUE(k.rekeying.empty()) << "a PC's own secret ends its rekey";
}

TEST(PCKeys, ForgetOfTheLastLegacyNameClearsTheOldSecret) {
    PCKeys k;
    k.legacy = "old";
    k.legacyNames = {"lab"};
    k.forget("lab");
    EXPECT_FALSE(k.legacy);
}

TEST(PCKeys, JsonRoundTripAndStrictReading) {
    PCKeys k = sample();
    EXPECT_EQ(PCKeys::fromJson(k.toJson()), k);
    PCKeys empty;
    EXPECT_FALSE(empty.toJson().contains("legacy"));
    EXPECT_FALSE(empty.toJson().contains("rekeying")) << "files as older runs wrote them";
    EXPECT_EQ(PCKeys::fromJson(empty.toJson()), empty);

    for (const char* bad : {
             R"({"legacyNames":[]})",
             R"({"perPC":{}})",
             R"({"perPC":[],"legacyNames":[]})",
             R"({"perPC":{"a":1},"legacyNames":[]})",
             R"({"perPC":{},"legacyNames":[3]})",
             R"({"perPC":{},"legacyNames":[],"legacy":5})",
             R"({"perPC":{},"legacyNames":[],"rekeying":[]})",
             R"({"perPC":{},"legacyNames":[],"rekeying":{"a":1}})",
             R"([])",
         }) {
        EXPECT_THROW(PCKeys::fromJson(json::parse(bad)), json::DecodeError) << bad;
    }
    EXPECT_EQ(PCKeys::fromJson(json::parse(R"({"perPC":{},"legacyNames":[],"legacy":null})")),
              PCKeys());
}

TEST(PCKeys, FreshSecretsAre48HexCharacters) {
    std::string a = PCKeys::fresh(), b = PCKeys::fresh();
    EXPECT_TRUE(isLowerHex(a, 48));
    EXPECT_NE(a, b);
}

} // namespace
} // namespace helm
