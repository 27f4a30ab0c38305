#include "app/TestPort.h"
#include "AppFixture.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>

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
    EXPECT_EQ("test port " + std::to_string(port.port()), logged().back());

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
    send("frobnicate\nSTATUS\n   \nallinputs\nallinputs 0\n");
    auto got = replies(5);
    ASSERT_EQ(5u, got.size());
    EXPECT_EQ("?", got[0]);
    EXPECT_EQ("?", got[1]);
    EXPECT_EQ("?", got[2]);
    EXPECT_EQ("?", got[3]); // missing argument: nothing changed
    EXPECT_TRUE(isStatus(got[4])) << got[4];
    EXPECT_FALSE(app->prefs.allInputs());
}

TEST_F(TestPortTest, AnOverlongLineGetsOneAnswerAndTheConnectionGoesOn) {
    std::string huge(200'000, 'x');
    send(huge.c_str());
    send("\nhealth\n");
    EXPECT_EQ((std::vector<std::string>{"?", "health ok"}), replies(2));
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

TEST_F(TestPortTest, StatusShowsTheRouterAndTheHealthSentence) {
    app->router().keyDown(36, 0);
    app->router().keyDown(4, 0);
    app->problem = "Helmvantor can't use the network. Quit other copies of Helmvantor.";
    send("status\nhealth\n");
    auto got = replies(2);
    ASSERT_EQ(2u, got.size());
    EXPECT_NE(std::string::npos, got[0].find(" held=[4, 36] sinceKey=")) << got[0];
    EXPECT_EQ("health " + *app->problem, got[1]);
}
