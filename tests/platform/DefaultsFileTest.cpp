#include "platform/DefaultsFile.h"
#include "desk/Defaults.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QTemporaryDir>

#include <fstream>
#include <sstream>
#include <thread>

using namespace helm;
using helm::json::Json;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(DefaultsFile, SavesPrivatelyIntoMissingFoldersAndReadsBack) {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/new/folder/defaults.json";
    DefaultsFile file(path);
    EXPECT_EQ(DefaultsStorage::Status::absent, file.load().status);

    EXPECT_FALSE(file.save("{\"a\": 1}\n"));
    EXPECT_FALSE(file.save("{\"a\": 2}\n")); // replaces, never appends
    DefaultsStorage::Loaded loaded = file.load();
    EXPECT_EQ(DefaultsStorage::Status::ok, loaded.status);
    EXPECT_EQ("{\"a\": 2}\n", loaded.text);

    struct stat st {};
    ASSERT_EQ(0, stat(path.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777u);
}

TEST(DefaultsFile, SetAsideKeepsTheOldDocument) {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/defaults.json";
    DefaultsFile file(path);
    ASSERT_FALSE(file.save("garbage"));
    std::optional<std::string> aside = file.setAside();
    ASSERT_TRUE(aside);
    EXPECT_EQ("garbage", slurp(*aside));
    EXPECT_EQ(DefaultsStorage::Status::absent, file.load().status);
    EXPECT_FALSE(DefaultsFile(path).setAside()); // nothing left to move
}

TEST(DefaultsFile, FailuresAreReportedNotThrown) {
    QTemporaryDir dir;
    // A folder where the file should be: it can be neither read nor replaced.
    std::string path = dir.path().toStdString() + "/defaults.json";
    ASSERT_EQ(0, mkdir(path.c_str(), 0700));
    DefaultsFile file(path);
    EXPECT_EQ(DefaultsStorage::Status::failed, file.load().status);
    EXPECT_TRUE(file.save("{}"));
    // A file where a folder should be.
    std::string blocked = dir.path().toStdString() + "/plain";
    std::ofstream(blocked) << "x";
    EXPECT_TRUE(DefaultsFile(blocked + "/defaults.json").save("{}"));
}

namespace {

// A store over the file at path, as a running copy of the program opens it.
std::unique_ptr<Defaults> openCopy(const std::string& path, std::vector<std::string>* problems) {
    return std::make_unique<Defaults>(std::make_unique<DefaultsFile>(path),
                                      [problems](const std::string& l) { problems->push_back(l); });
}

} // namespace

TEST(DefaultsFile, TwoRunningCopiesKeepEachOthersKeys) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/defaults.json";
    ASSERT_FALSE(DefaultsFile(path).save(R"({"p.speed": 1, "hubId": "h"})"));
    std::vector<std::string> problems;
    auto a = openCopy(path, &problems);
    auto b = openCopy(path, &problems); // both start from the same snapshot
    struct Step {
        Defaults* copy;
        const char* key;
        std::optional<Json> value; // nothing: remove
    };
    const Step steps[] = {
        {a.get(), "layout2", Json{{"screens", Json::array()}}},
        {b.get(), "onboarded", true},
        {a.get(), "p.speed", 2},
        {b.get(), "hubId", std::nullopt},
        {b.get(), "p.voice", false},
    };
    for (const auto& s : steps) {
        if (s.value)
            s.copy->set(s.key, *s.value);
        else
            s.copy->remove(s.key);
    }
    const Json want = Json::parse(
        R"({"layout2": {"screens": []}, "onboarded": true, "p.speed": 2, "p.voice": false})");
    // Compared whatever the order the two copies wrote the keys in.
    EXPECT_EQ(nlohmann::json::parse(slurp(path)), nlohmann::json::parse(want.dump()));
    EXPECT_EQ(b->integer("p.speed"), 2) << "a write takes up what the other copy wrote";
    EXPECT_TRUE(b->value("layout2"));
    EXPECT_TRUE(problems.empty());
}

TEST(DefaultsFile, CopiesWritingAtOnceTakeTurns) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/defaults.json";
    std::vector<std::string> problems[4];
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w) {
        writers.emplace_back([&, w] {
            auto copy = openCopy(path, &problems[w]);
            for (int i = 0; i < 25; ++i)
                copy->set("k" + std::to_string(w) + "." + std::to_string(i), i);
        });
    }
    for (auto& t : writers)
        t.join();
    EXPECT_EQ(Json::parse(slurp(path)).size(), 100u) << "no write undid another";
    for (const auto& p : problems)
        EXPECT_TRUE(p.empty());
}
