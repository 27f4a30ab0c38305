#include "app/TestPort.h"
#include "AppFixture.h"
#include "app/NumberText.h"
#include "link/Wire.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

#include <QTemporaryDir>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace helm;

namespace {

struct TestPortTest : ::testing::Test, test::AppFixture {
    std::unique_ptr<App> app = make({"--test-port", "0", "--no-camera"});
    TestPort port{[this](const std::string& line) { return TestPort::run(line, *app); }};
    QTcpSocket client;
    QByteArray received;

    void SetUp() override {
        ASSERT_TRUE(port.start(0));
        client.connectToHost(QHostAddress::LocalHost, port.port());
        ASSERT_TRUE(client.waitForConnected(5000)) << client.errorString().toStdString();
    }

    void send(const char* bytes) {
        client.write(bytes);
        client.flush();
    }

    // Runs the event loop (server and client share it) until n reply lines arrived.
    std::vector<std::string> replies(int n) {
        QElapsedTimer clock;
        clock.start();
        while (received.count('\n') < n && clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            received += client.readAll();
        }
        std::vector<std::string> out;
        for (int i = 0; i < n && received.contains('\n'); ++i) {
            qsizetype end = received.indexOf('\n');
            out.push_back(received.left(end).toStdString());
            received.remove(0, end + 1);
        }
        return out;
    }
};

bool isStatus(const std::string& s) {
    return s.rfind("gaze=- keys=mac/0 mouse=mac/0 agents= locked=- held=[] sinceKey=", 0) == 0;
}

} // namespace

TEST_F(TestPortTest, OpensOnLoopbackAndLogsThePortItGot) {
    EXPECT_NE(0, port.port());
    EXPECT_EQ(format("test port %u", static_cast<unsigned>(port.port())), logged().back());

    TestPort second([](const std::string&) { return std::string(); });
    EXPECT_FALSE(second.start(port.port())); // taken
    EXPECT_EQ("test port failed", logged().back());
}

TEST_F(TestPortTest, TwoCommandsInOneWriteAnswerInOrder) {
    send("health\nstatus\n");
    auto got = replies(2);
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ("health ok", got[0]);
    EXPECT_TRUE(isStatus(got[1])) << got[1];
}

TEST_F(TestPortTest, ACommandSplitAcrossWritesRunsOnce) {
    send("hea");
    EXPECT_TRUE(replies(1).empty());
    send("lth\r\n");
    EXPECT_EQ(std::vector<std::string>{"health ok"}, replies(1));
}

TEST_F(TestPortTest, UnusableCommandsAreAnsweredWithAQuestionMark) {
    send(("frobnicate\nSTATUS\n   \nallinputs\nallinputs 0\nlook " + std::string(257, 'i') + "\n")
             .c_str());
    auto got = replies(6);
    ASSERT_EQ(6u, got.size());
    EXPECT_EQ("?", got[0]);
    EXPECT_EQ("?", got[1]);
    EXPECT_EQ("?", got[2]);
    EXPECT_EQ("?", got[3]); // missing argument: nothing changed
    EXPECT_TRUE(isStatus(got[4])) << got[4];
    EXPECT_EQ("?", got[5]); // an id longer than any screen's
    EXPECT_FALSE(app->prefs.allInputs());
}

TEST_F(TestPortTest, AnOverlongLineGetsOneAnswerAndTheConnectionGoesOn) {
    std::string huge(200'000, 'x');
    send(huge.c_str());
    send("\nhealth\n");
    EXPECT_EQ((std::vector<std::string>{"?", "health ok"}), replies(2));
}

TEST_F(TestPortTest, AClientThatReadsNoRepliesIsReadNoFurtherAndClosed) {
    int ran = 0;
    TestPort wordy(
        [&ran](const std::string&) {
            ++ran;
            return std::string(65'536, 'r');
        },
        std::chrono::milliseconds(200));
    ASSERT_TRUE(wordy.start(0));
    QTcpSocket idle;
    idle.setReadBufferSize(1024); // takes almost nothing off the wire
    idle.connectToHost(QHostAddress::LocalHost, wordy.port());
    ASSERT_TRUE(idle.waitForConnected(5000));
    idle.write(QByteArray("x\n").repeated(400)); // 26 MB of replies: more than sockets hold
    QElapsedTimer clock;
    clock.start();
    auto l = logged();
    while (std::find(l.begin(), l.end(), "test port: a client reads no replies, closing it") ==
               l.end() &&
           clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        l = logged();
    }
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_LT(ran, 200) << "commands are read only as their replies drain";
}

// A script may send its commands and shut its side at once, the last one without its line feed,
// or ask for one reply longer than what a client may leave unread.
TEST_F(TestPortTest, EveryReplyIsWrittenBeforeTheSocketCloses) {
    TestPort port2([](const std::string& line) {
        return line == "big" ? std::string(3 << 20, 'b') : "ok " + line;
    });
    ASSERT_TRUE(port2.start(0));
    for (const char* commands : {"a\nb\n", "big\nc\n", "a\nb"}) {
        SCOPED_TRACE(commands);
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port2.port());
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(0, ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to));
        ASSERT_GT(::send(fd, commands, std::strlen(commands), 0), 0);
        ::shutdown(fd, SHUT_WR);
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
        std::string got;
        QElapsedTimer clock;
        clock.start();
        for (ssize_t n = -1; n != 0 && clock.elapsed() < 5000;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            char buf[65'536];
            n = ::recv(fd, buf, sizeof buf, 0);
            if (n > 0)
                got.append(buf, static_cast<std::size_t>(n));
        }
        ::close(fd);
        const std::string want =
            commands[0] == 'a' ? "ok a\nok b\n" : std::string(3 << 20, 'b') + "\nok c\n";
        EXPECT_EQ(want.size(), got.size());
        EXPECT_TRUE(got == want);
    }
}

TEST_F(TestPortTest, SetimageTakesOnlyARegularFileOfAClipsSize) {
    QTemporaryDir dir;
    const std::string d = dir.path().toStdString();
    std::ofstream(d + "/pic.png", std::ios::binary) << "\x89PNG\r\n\x1a\n";
    ASSERT_EQ(0, ::mkfifo((d + "/fifo").c_str(), 0600));
    std::ofstream(d + "/huge").close();
    std::filesystem::resize_file(d + "/huge", Wire::maxClipBytes + 1); // sparse
    const std::pair<std::string, std::string> cases[] = {
        {d + "/pic.png", "image 8"}, {d, "empty"},           {"/dev/zero", "empty"},
        {d + "/fifo", "empty"},      {d + "/gone", "empty"}, {d + "/huge", "empty"},
    };
    for (const auto& [path, info] : cases) {
        SCOPED_TRACE(path);
        TestPort::run("setclip eA==", *app); // something to replace
        EXPECT_TRUE(isStatus(TestPort::run("setimage " + path, *app)));
        EXPECT_EQ(info, TestPort::run("clipinfo", *app));
    }
}

TEST_F(TestPortTest, InputsReportsThenEmptiesTheInjectedLog) {
    app->source = "PC-1";
    app->capped = {"b", "a"};
    app->injectLog = {"key 36 1", "key 36 0"};
    send("inputs\ninputs\n");
    auto got = replies(2);
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ(R"(source=PC-1 capped=["a", "b"] injected=[key 36 1,key 36 0])", got[0]);
    EXPECT_EQ(R"(source=PC-1 capped=["a", "b"] injected=[])", got[1]);
}

TEST_F(TestPortTest, ScreensListsTheLayout) {
    send("screens\n");
    EXPECT_EQ(std::vector<std::string>{""}, replies(1)); // an empty desk
    Layout desk;
    Screen a;
    a.id = "mac/1-2-3";
    a.number = 1;
    a.computerName = "This Mac";
    a.yaw = -12.34;
    a.pitch = 0.05;
    Screen b = a;
    b.id = "pc-1/4-5-6";
    b.number = 2;
    b.computer = "pc-1";
    b.computerName = "PC 1";
    b.width = 40;
    b.learned = true;
    desk.screens = {a, b};
    app->setLayout(desk);
    send("screens\n");
    EXPECT_EQ(std::vector<std::string>{"1 mac/1-2-3 This Mac -12.3/0.1 30.0x18.0 guess | "
                                       "2 pc-1/4-5-6 PC 1 -12.3/0.1 40.0x18.0 learned"},
              replies(1));
}

TEST_F(TestPortTest, StatusShowsTheRouterAndTheHealthSentence) {
    app->router().keyDown(36, 0);
    app->router().keyDown(4, 0);
    app->picker.current = "mac/1-2-3";
    app->problem = "Helmvantor can't use the network. Quit other copies of Helmvantor.";
    send("status\nhealth\n");
    auto got = replies(2);
    ASSERT_EQ(2u, got.size());
    EXPECT_EQ(0u, got[0].rfind("gaze=mac/1-2-3 keys=mac/0 ", 0)) << got[0];
    EXPECT_NE(std::string::npos, got[0].find(" held=[4, 36] sinceKey=")) << got[0];
    EXPECT_EQ("health " + *app->problem, got[1]);
}
