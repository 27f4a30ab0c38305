#include "app/Log.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

using namespace helm;

namespace {

std::vector<std::string> lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string l; std::getline(in, l);) {
        out.push_back(l);
    }
    return out;
}

off_t size(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

struct LogTest : ::testing::Test {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/pivmor.log";
    void SetUp() override { setLogPath(path); }
    void TearDown() override { setLogPath(""); }
};

} // namespace

TEST_F(LogTest, PathUnderTheStateFolderWithPrivateModes) {
    setenv("XDG_STATE_HOME", (dir.path().toStdString() + "/state").c_str(), 1);
    std::string p = setUpLogPath();
    EXPECT_EQ(dir.path().toStdString() + "/state/Pivmor/pivmor.log", p);
    EXPECT_EQ(p, logPath());
    struct stat st {};
    ASSERT_EQ(0, stat((dir.path().toStdString() + "/state/Pivmor").c_str(), &st));
    EXPECT_EQ(0700u, st.st_mode & 0777u);

    log("hello");
    ASSERT_EQ(0, stat(p.c_str(), &st));
    EXPECT_EQ(0600u, st.st_mode & 0777u);
    auto got = lines(p);
    ASSERT_EQ(1u, got.size());
    EXPECT_TRUE(
        std::regex_match(got[0], std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \+0000 hello)")))
        << got[0];
}

TEST_F(LogTest, DateIsUtc) {
    EXPECT_EQ("1970-01-01 00:00:00 +0000", logDate(0));
    EXPECT_EQ("2024-02-29 23:59:59 +0000", logDate(1709251199));
}

TEST_F(LogTest, FileIsCutOnlyWhenLargerThanFiveMillionBytes) {
    std::ofstream(path) << std::string(5'000'000, 'x');
    log("one"); // exactly 5,000,000: kept, the line appended
    EXPECT_GT(size(path), 5'000'000);
    log("two"); // now larger: the file starts afresh with this line
    auto got = lines(path);
    ASSERT_EQ(1u, got.size());
    EXPECT_NE(std::string::npos, got[0].find(" two"));
    // The full log is the previous one now, with its last line.
    auto previous = lines(path + ".1");
    ASSERT_FALSE(previous.empty());
    EXPECT_NE(std::string::npos, previous.back().find(" one"));
}

TEST_F(LogTest, AMissingFolderIsNotRecreatedAndLoggingGoesOn) {
    setLogPath(dir.path().toStdString() + "/gone/pivmor.log");
    log("lost"); // no folder: dropped, no throw
    struct stat st {};
    EXPECT_NE(0, stat((dir.path().toStdString() + "/gone").c_str(), &st));
}

TEST_F(LogTest, ConcurrentWritersLoseNoLineEvenWhileTheFileIsCreated) {
    constexpr int perThread = 2000;
    // Each round starts without a file, so both threads race to create it.
    for (int round = 0; round < 5; ++round) {
        std::remove(path.c_str());
        auto writer = [](char who) {
            for (int i = 0; i < perThread; ++i) {
                char msg[32];
                std::snprintf(msg, sizeof msg, "%c %d", who, i);
                log(msg);
            }
        };
        std::thread a(writer, 'a');
        std::thread b(writer, 'b');
        a.join();
        b.join();
        auto got = lines(path);
        ASSERT_EQ(2u * perThread, got.size()) << "round " << round;
        std::set<std::string> seen;
        for (const auto& l : got) {
            ASSERT_GT(l.size(), 26u);
            seen.insert(l.substr(26)); // after "yyyy-MM-dd HH:mm:ss +0000 "
        }
        EXPECT_EQ(2u * perThread, seen.size());
    }
}
