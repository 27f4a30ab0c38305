#include "platform/DefaultsFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QTemporaryDir>

#include <fstream>
#include <sstream>

using namespace helm;

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
