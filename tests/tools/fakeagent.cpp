// A stand-in PC agent for trying the hub by hand or from scripts, on loopback only:
//   fakeagent probe PORT [TEXT]
//   fakeagent pair PORT NAME CODE
//   fakeagent login PORT NAME SECRET [ctl|data] [--seconds N] [--reply PREFIX=LINE]...
// "login" prints every line the hub sends, answers a line that begins with PREFIX with LINE,
// pings every 2 s and stops after N seconds (10 by default).
#include "support/FakeAgent.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

using helm::fake::FakeAgent;

namespace {

int usage() {
    std::fprintf(stderr, "usage: fakeagent probe PORT [TEXT] | pair PORT NAME CODE | "
                         "login PORT NAME SECRET [ctl|data] [--seconds N] [--reply P=LINE]...\n");
    return 2;
}

std::optional<quint16> port(const char* text) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < 1 || v > 65535)
        return std::nullopt;
    return static_cast<quint16>(v);
}

int login(quint16 p, int argc, char** argv) {
    FakeAgent agent(argv[3]);
    std::string role = "ctl";
    long seconds = 10;
    std::vector<std::pair<std::string, std::string>> replies;
    for (int i = 5; i < argc; ++i) {
        std::string a = argv[i];
        if ((a == "ctl" || a == "data") && i == 5)
            role = a;
        else if (a == "--seconds" && i + 1 < argc)
            seconds = std::strtol(argv[++i], nullptr, 10);
        else if (a == "--reply" && i + 1 < argc) {
            std::string r = argv[++i];
            auto eq = r.find('=');
            if (eq == std::string::npos)
                return usage();
            replies.emplace_back(r.substr(0, eq), r.substr(eq + 1));
        } else
            return usage();
    }
    if (seconds < 1 || seconds > 3600)
        return usage();
    if (!agent.connect(p) || !agent.login(argv[4], role)) {
        std::printf("login failed\n");
        return 1;
    }
    std::printf("logged in\n");
    std::fflush(stdout);
    QElapsedTimer clock, ping;
    clock.start();
    ping.start();
    while (clock.elapsed() < seconds * 1000 && agent.connected()) {
        if (role == "ctl" && ping.elapsed() >= 2000) {
            agent.sendSealed("p");
            ping.restart();
        }
        auto raw = agent.readLine(200);
        if (!raw)
            continue;
        auto line = agent.inn.open(*raw);
        if (!line) {
            std::printf("unreadable line\n");
            return 1;
        }
        std::printf("< %s\n", line->c_str());
        std::fflush(stdout);
        for (const auto& [prefix, answer] : replies)
            if (line->rfind(prefix, 0) == 0)
                agent.sendSealed(answer);
    }
    if (!agent.connected())
        std::printf("closed\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return usage();
    std::string cmd = argv[1];
    auto p = port(argv[2]);
    if (!p)
        return usage();
    if (cmd == "probe") {
        auto answer = FakeAgent::probe(*p, argc > 3 ? argv[3] : "PIVMOR?");
        std::printf("%s\n", answer ? answer->c_str() : "no answer");
        return answer ? 0 : 1;
    }
    if (cmd == "pair" && argc == 5) {
        FakeAgent agent(argv[3]);
        if (!agent.connect(*p))
            return 1;
        auto first = agent.pairStart(argv[4]);
        if (!first || *first != "confirm") {
            std::printf("%s\n", first ? first->c_str() : "no reply");
            return 1;
        }
        std::printf("check code %s\n", agent.checkCodeShown().c_str());
        std::fflush(stdout);
        std::string error;
        auto paired = agent.pairFinish(argv[4], &error, 65000);
        if (!paired) {
            std::printf("%s\n", error.c_str());
            return 1;
        }
        std::printf("paired %s %s\n", paired->secret.c_str(), paired->hubId.c_str());
        return 0;
    }
    if (cmd == "login" && argc >= 5)
        return login(*p, argc, argv);
    return usage();
}
