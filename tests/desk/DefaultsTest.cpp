#include "desk/Defaults.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace helm;
using helm::json::Json;

namespace {

// Storage that remembers what it was asked to do.
struct FakeStorage : DefaultsStorage {
    Loaded loaded;
    bool canSetAside = true;
    int saves = 0;
    int asides = 0;
    std::string saved;
    std::optional<WriteFailure> failure; // what the next saves answer
    std::string* copyTo = nullptr;       // also gets every saved text, outliving the storage

    Loaded load() override { return loaded; }
    std::optional<WriteFailure> save(const std::string& text) override {
        if (failure) {
            return failure;
        }
        ++saves;
        saved = text;
        if (copyTo) {
            *copyTo = text;
        }
        return std::nullopt;
    }
    std::optional<std::string> setAside() override {
        ++asides;
        if (!canSetAside) {
            return std::nullopt;
        }
        return std::string("defaults.json.bad");
    }
};

struct Opened {
    FakeStorage* storage;
    std::unique_ptr<Defaults> defaults;
    std::vector<std::string> problems;
};

std::unique_ptr<Opened> open(DefaultsStorage::Status status, const std::string& text,
                             bool canSetAside = true) {
    auto out = std::make_unique<Opened>();
    auto storage = std::make_unique<FakeStorage>();
    storage->loaded = {status, text, "permission denied"};
    storage->canSetAside = canSetAside;
    out->storage = storage.get();
    Opened* o = out.get();
    out->defaults = std::make_unique<Defaults>(
        std::move(storage), [o](const std::string& line) { o->problems.push_back(line); });
    return out;
}

} // namespace

TEST(Defaults, TypedReadersAnswerOnlyForTheirOwnType) {
    auto o = open(DefaultsStorage::Status::ok, R"({
        "int": 7, "big": 18446744073709551615, "float": 2.5, "bool": true,
        "string": "x", "list": ["a", "b"], "mixed": ["a", 1], "null": null})");
    const Defaults& d = *o->defaults;
    struct Case {
        const char* key;
        bool integer, boolean, number, string, strings;
    };
    const Case cases[] = {
        {"int", true, false, true, false, false},       {"big", false, false, true, false, false},
        {"float", false, false, true, false, false},    {"bool", false, true, false, false, false},
        {"string", false, false, false, true, false},   {"list", false, false, false, false, true},
        {"mixed", false, false, false, false, false},   {"null", false, false, false, false, false},
        {"missing", false, false, false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.integer, d.integer(c.key).has_value()) << c.key;
        EXPECT_EQ(c.boolean, d.boolean(c.key).has_value()) << c.key;
        EXPECT_EQ(c.number, d.number(c.key).has_value()) << c.key;
        EXPECT_EQ(c.string, d.string(c.key).has_value()) << c.key;
        EXPECT_EQ(c.strings, d.strings(c.key).has_value()) << c.key;
    }
    EXPECT_EQ(7, *d.integer("int"));
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), *d.strings("list"));
    EXPECT_TRUE(o->problems.empty());
}

TEST(Defaults, EveryChangeIsWrittenThroughAsAWholeDocument) {
    auto o = open(DefaultsStorage::Status::absent, "");
    Defaults& d = *o->defaults;
    EXPECT_TRUE(d.set("a", 1));
    EXPECT_TRUE(d.set("b", Json::array({"x"})));
    EXPECT_EQ(2, o->storage->saves);
    d.remove("a");
    d.remove("never there"); // nothing to write
    EXPECT_EQ(3, o->storage->saves);
    EXPECT_EQ(Json::parse(o->storage->saved), Json::parse(R"({"b": ["x"]})"));
}

TEST(Defaults, RefusesNumbersThatAreNotFiniteAndKeepsTheOldValue) {
    auto o = open(DefaultsStorage::Status::absent, "");
    Defaults& d = *o->defaults;
    ASSERT_TRUE(d.set("v", 1.5));
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(d.set("v", bad));
        EXPECT_FALSE(d.set("list", Json::array({1.0, bad})));
    }
    EXPECT_EQ(1.5, *d.number("v"));
    EXPECT_FALSE(d.value("list"));
    EXPECT_EQ(1, o->storage->saves);
    EXPECT_EQ(4u, o->problems.size());
}

TEST(Defaults, UnreadableDocumentsAreNeverOverwrittenBlindly) {
    struct Case {
        const char* name;
        DefaultsStorage::Status status;
        const char* text;
        bool canSetAside;
        int asides;
        int savesAfterSet; // 0: the stored copy is left alone
    };
    const Case cases[] = {
        {"malformed JSON is set aside", DefaultsStorage::Status::ok, "{\"p.speed\": ", true, 1, 1},
        {"a list is not a document", DefaultsStorage::Status::ok, "[1, 2]", true, 1, 1},
        {"cannot set aside: read-only run", DefaultsStorage::Status::ok, "nul", false, 1, 0},
        {"read failure: read-only run", DefaultsStorage::Status::failed, "", true, 0, 0},
    };
    for (const auto& c : cases) {
        auto o = open(c.status, c.text, c.canSetAside);
        EXPECT_TRUE(o->defaults->keys().empty()) << c.name;
        EXPECT_EQ(1u, o->problems.size()) << c.name;
        EXPECT_EQ(c.asides, o->storage->asides) << c.name;
        EXPECT_TRUE(o->defaults->set("k", true)) << c.name;
        EXPECT_TRUE(*o->defaults->boolean("k")) << c.name; // still works in memory
        EXPECT_EQ(c.savesAfterSet, o->storage->saves) << c.name;
    }
}

TEST(Defaults, InMemoryStoreNeedsNoStorage) {
    Defaults d;
    d.set("x", "y");
    EXPECT_EQ("y", *d.string("x"));
    EXPECT_EQ(std::vector<std::string>{"x"}, d.keys());
}

TEST(Defaults, IntegersStoredAsWholeDoublesReadAsIntegers) {
    auto o = open(DefaultsStorage::Status::ok,
                  R"({"whole": 2.0, "negative": -3.0, "half": 2.5, "huge": 1e300})");
    struct Case {
        const char* key;
        std::optional<long long> integer;
    };
    const Case cases[] = {
        {"whole", 2}, {"negative", -3}, {"half", std::nullopt}, {"huge", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(o->defaults->integer(c.key), c.integer) << c.key;
}

TEST(Defaults, RefusalsSayWhyTheValueWasRefused) {
    struct Case {
        Json value;
        std::string line;
    };
    const Case cases[] = {
        {std::nan(""), "defaults: not stored, k holds a number that is not finite"},
        {"caf\xC3", "defaults: not stored, k holds text that is not UTF-8"},
        {Json::array({"ok", "\xFF"}), "defaults: not stored, k holds text that is not UTF-8"},
    };
    for (const auto& c : cases) {
        auto o = open(DefaultsStorage::Status::absent, "");
        EXPECT_FALSE(o->defaults->set("k", c.value));
        EXPECT_EQ(o->problems, std::vector<std::string>{c.line});
        EXPECT_FALSE(o->defaults->value("k"));
    }
}

TEST(Defaults, LiveChangesAndBatchesAreStoredTogether) {
    auto o = open(DefaultsStorage::Status::ok, "{}");
    Defaults& d = *o->defaults;
    FakeStorage& file = *o->storage;
    int asked = 0;
    d.onPending = [&] { ++asked; };
    auto savedKeys = [&] { return Json::parse(file.saved); };

    d.setLive(true);
    d.set("a", 1);
    d.set("b", 2);
    d.remove("a");
    EXPECT_EQ(0, file.saves);
    EXPECT_EQ(1, asked) << "one flush asked for the whole batch";
    EXPECT_EQ(2, *d.integer("b")) << "memory is current";
    d.flush();
    EXPECT_EQ(1, file.saves);
    EXPECT_EQ(Json::parse(R"({"b": 2})"), savedKeys());
    d.set("c", 3);
    EXPECT_EQ(2, asked);
    d.setLive(false); // the end of the drag stores at once
    EXPECT_EQ(2, file.saves);
    EXPECT_EQ(3, savedKeys()["c"]);

    {
        Defaults::Batch together(d);
        d.set("p", 1);
        d.set("q", 2);
        EXPECT_EQ(2, file.saves);
    }
    EXPECT_EQ(3, file.saves);
    EXPECT_TRUE(savedKeys().contains("q"));
    EXPECT_EQ(2, asked) << "a batch asks for no flush";

    // A write that failed is not lost: the next one carries it, though the file was re-read.
    file.loaded.text = file.saved;
    file.failure = WriteFailure{"disk full", "the disk is full"};
    d.set("lost", true);
    file.failure.reset();
    d.set("next", true);
    EXPECT_TRUE(savedKeys().contains("lost"));
    EXPECT_TRUE(*d.boolean("lost"));

    d.setLive(true);
    d.set("last", 1);
    std::string afterwards;
    file.copyTo = &afterwards;
    o->defaults.reset(); // held back at the end of the run: stored all the same
    EXPECT_TRUE(Json::parse(afterwards).contains("last"));
}
