#include "link/Secret.h"
#include "link/Hex.h"
#include "platform/sim/MemorySecretStore.h"

#include <gtest/gtest.h>

#include <map>

namespace helm {
namespace {

struct MemoryDefaults : KeyValueStore {
    std::map<std::string, json::Json> values;
    std::optional<json::Json> value(const std::string& key) const override {
        auto it = values.find(key);
        return it == values.end() ? std::nullopt : std::optional(it->second);
    }
    void setValue(const std::string& key, const json::Json& v) override { values[key] = v; }
};

struct SecretTest : ::testing::Test {
    MemorySecretStore store;
    MemoryDefaults defaults;
    std::vector<std::string> log;

    Secret make(Secret::Options options = {}) {
        return Secret(store, defaults, std::move(options),
                      [this](const std::string& line) { log.push_back(line); });
    }
    PCKeys storedKeys() { return PCKeys::fromJson(json::parse(store.items.at("pc-keys"))); }
};

TEST_F(SecretTest, FirstStartWithoutPCs) {
    PCKeys keys = make().loadKeys({});
    EXPECT_EQ(keys, PCKeys());
    EXPECT_EQ(store.items.at("pc-keys"), R"({"perPC":{},"legacyNames":[]})");
    EXPECT_EQ(store.items.count("hub-secret"), 0u);
}

TEST_F(SecretTest, MigrationTakesTheStoredSecretForTheLayoutPCs) {
    store.items["hub-secret"] = "old-secret";
    PCKeys keys = make().loadKeys({"lab", "desk", "lab"});
    EXPECT_EQ(keys.legacy, "old-secret");
    EXPECT_EQ(keys.legacyNames, (std::vector<std::string>{"desk", "lab"}));
    EXPECT_EQ(storedKeys(), keys);
}

TEST_F(SecretTest, MigrationMakesTheSecretWhenThereIsNone) {
    PCKeys keys = make().loadKeys({"lab"});
    ASSERT_TRUE(keys.legacy);
    EXPECT_TRUE(isLowerHex(*keys.legacy, 48));
    EXPECT_EQ(store.items.at("hub-secret"), *keys.legacy);
    EXPECT_EQ(storedKeys(), keys);
}

TEST_F(SecretTest, StoredKeysAreUsedAsTheyAre) {
    PCKeys k;
    k.set("desk", "mine");
    store.items["pc-keys"] = json::dump(k.toJson());
    EXPECT_EQ(make().loadKeys({"lab"}), k);
    EXPECT_EQ(store.writes, 0);
}

TEST_F(SecretTest, UndecodableKeysAreReplacedByAMigration) {
    store.items["pc-keys"] = "{not json";
    store.items["hub-secret"] = "old";
    PCKeys keys = make().loadKeys({"lab"});
    EXPECT_EQ(keys.legacy, "old");
    EXPECT_EQ(storedKeys(), keys);
    EXPECT_FALSE(log.empty());
}

TEST_F(SecretTest, AFailedReadNeverMigratesOrOverwrites) {
    PCKeys k;
    k.set("desk", "mine");
    store.items["pc-keys"] = json::dump(k.toJson());
    store.items["hub-secret"] = "old";
    const auto before = store.items;
    store.failReads = true;

    Secret secret = make();
    EXPECT_EQ(secret.loadKeys({"lab"}), PCKeys());
    EXPECT_FALSE(log.empty());
    // Pairing a PC later in the run must not replace every stored key with just that one.
    PCKeys after;
    after.set("new", "x");
    store.failReads = false;
    EXPECT_FALSE(secret.saveKeys(after));
    EXPECT_EQ(store.items, before);
    EXPECT_EQ(store.writes, 0);
}

TEST_F(SecretTest, AFailedSecretReadKeepsTheMigrationInMemory) {
    // "pc-keys" is simply not there, but "hub-secret" can't be read: the PCs keep a temporary
    // secret this run, and neither item is written, so the real secret still works next time.
    struct HalfLocked : MemorySecretStore {
        Read read(const std::string& account) override {
            if (account == "hub-secret") {
                return {Status::failed, {}, "locked"};
            }
            return MemorySecretStore::read(account);
        }
    } half;
    half.items["hub-secret"] = "old";
    Secret secret(half, defaults, {}, [this](const std::string& l) { log.push_back(l); });
    PCKeys keys = secret.loadKeys({"lab"});
    EXPECT_EQ(keys.legacyNames, std::vector<std::string>{"lab"});
    EXPECT_NE(keys.legacy, "old");
    EXPECT_EQ(half.items.at("hub-secret"), "old");
    EXPECT_EQ(half.items.count("pc-keys"), 0u);
    EXPECT_FALSE(secret.saveKeys(keys));
    EXPECT_EQ(half.writes, 0);
}

TEST_F(SecretTest, LoadReadsOrMakesTheSecret) {
    store.items["hub-secret"] = "stored";
    EXPECT_EQ(make().load(), "stored");

    store.items["hub-secret"] = "\xff\xfe";
    std::string made = make().load();
    EXPECT_TRUE(isLowerHex(made, 48));
    EXPECT_EQ(store.items.at("hub-secret"), made);

    store.failReads = true;
    store.items["hub-secret"] = "stored";
    Secret locked = make();
    std::string temporary = locked.load();
    EXPECT_NE(temporary, "stored");
    EXPECT_EQ(locked.load(), temporary); // the same one for the whole run
    EXPECT_EQ(store.items.at("hub-secret"), "stored");
}

TEST_F(SecretTest, SaveKeysReportsAFailedWrite) {
    Secret secret = make();
    secret.loadKeys({});
    PCKeys k;
    k.set("desk", "mine");
    EXPECT_TRUE(secret.saveKeys(k));
    EXPECT_EQ(storedKeys(), k);
    store.failWrites = true;
    log.clear();
    EXPECT_FALSE(secret.saveKeys(PCKeys()));
    EXPECT_EQ(log.size(), 1u);
    EXPECT_EQ(storedKeys(), k);
}

TEST_F(SecretTest, TheUserHearsOfFailedSavesOnceUntilOneWorks) {
    Secret secret = make();
    std::vector<std::string> told;
    secret.tell = [&](const std::string& sentence) { told.push_back(sentence); };
    secret.loadKeys({});
    for (bool fails : {true, true, false, true}) {
        store.failWrites = fails;
        secret.saveKeys(PCKeys());
    }
    const std::string refused = "Couldn't save the PC keys. The log says why.";
    EXPECT_EQ(told, (std::vector<std::string>{refused, refused}));
}

TEST_F(SecretTest, TokenReplacesTheStoredSecret) {
    const std::pair<std::vector<std::string>, std::optional<std::string>> args[] = {
        {{"--test-port", "5", "--token", "abc"}, "abc"},
        {{"--token", "first", "--token", "second"}, "first"},
        {{"--token"}, std::nullopt}, // no value after it
        {{"--no-camera"}, std::nullopt},
    };
    for (const auto& [a, token] : args) {
        EXPECT_EQ(Secret::tokenFrom(a), token);
    }
    store.items["hub-secret"] = "stored";
    Secret secret = make({false, "tok"});
    EXPECT_EQ(secret.load(), "tok");
    secret.rotate(); // deletes the stored secret, but the run keeps the token
    EXPECT_EQ(store.items.count("hub-secret"), 0u);
    EXPECT_EQ(secret.load(), "tok");
}

TEST_F(SecretTest, RotateMakesANewSecret) {
    store.items["hub-secret"] = "old";
    Secret secret = make();
    secret.rotate();
    ASSERT_EQ(store.items.count("hub-secret"), 1u);
    EXPECT_NE(store.items.at("hub-secret"), "old");
    EXPECT_EQ(secret.load(), store.items.at("hub-secret"));
}

TEST_F(SecretTest, SimulationTouchesNothingStored) {
    store.items["hub-secret"] = "old";
    defaults.values["hubId"] = "0123456789abcdef";
    const auto before = store.items;
    Secret secret = make({true, std::nullopt});
    EXPECT_EQ(secret.loadKeys({"lab"}), PCKeys());
    EXPECT_TRUE(secret.saveKeys(PCKeys()));
    std::string s = secret.load();
    EXPECT_NE(s, "old");
    EXPECT_EQ(secret.load(), s);
    secret.rotate();
    EXPECT_NE(secret.load(), s);
    EXPECT_EQ(store.items, before);
    EXPECT_EQ(store.writes, 0);

    std::string a = secret.hubId(), b = secret.hubId();
    EXPECT_NE(a, b);
    EXPECT_NE(a, "0123456789abcdef");
    EXPECT_EQ(defaults.values.at("hubId"), "0123456789abcdef");
}

TEST_F(SecretTest, HubIdIsKeptOnlyWhenWellFormed) {
    const std::pair<json::Json, bool> stored[] = {
        {"0123456789abcdef", true},
        {"0123456789ABCDEF", false},
        {"0123456789abcde", false},
        {"0123456789abcdef0", false},
        {"", false},
        {42, false},
    };
    for (const auto& [value, kept] : stored) {
        defaults.values["hubId"] = value;
        std::string id = make().hubId();
        EXPECT_TRUE(isLowerHex(id, 16));
        EXPECT_EQ(id == value, kept) << value;
        EXPECT_EQ(defaults.values.at("hubId"), id);
        EXPECT_EQ(make().hubId(), id);
    }
    defaults.values.clear();
    std::string id = make().hubId();
    EXPECT_EQ(defaults.values.at("hubId"), id);
}

} // namespace
} // namespace helm
