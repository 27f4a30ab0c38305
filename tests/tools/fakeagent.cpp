// A stand-in PC agent for trying the hub by hand or from scripts, on loopback only:
//   fakeagent probe PORT [TEXT]
//   fakeagent pair PORT NAME CODE
//   fakeagent login PORT NAME SECRET [ctl|data] [--seconds N] [--reply PREFIX=LINE]...
//                   [--data | --stuck-data] [--displays JSON] [--send LINE]...
// "login" prints every line the hub sends ("< LINE"), answers a line that begins with PREFIX with
// LINE, pings every 2 s and stops after N seconds (10 by default). --data also logs a data link
// in, whose lines print as "<data LINE"; --stuck-data logs one in that is never read, as a stuck
// PC's would be ("close data" on standard input closes it). --displays answers "D" with that JSON
// array of displays.
// --send lines go out right after login; so does every line typed on standard input ("data LINE"
// goes out on the data link, "quit" ends at once).
#include "support/FakeAgent.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

using helm::fake::FakeAgent;

namespace {

int usage() {
    std::fprintf(stderr, "usage: fakeagent probe PORT [TEXT] | pair PORT NAME CODE | "
                         "login PORT NAME SECRET [ctl|data] [--seconds N] [--reply P=LINE]... "
                         "[--data | --stuck-data] [--displays JSON] [--send LINE]...\n");
    return 2;
}

std::optional<quint16> port(const char* text) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (!*text || *end || v < 1 || v > 65535)
        return std::nullopt;
    return static_cast<quint16>(v);
}

// Lines typed on standard input, taken without waiting; empty once input has ended.
class StdinLines {
public:
    std::vector<std::string> take() {
        std::vector<std::string> out;
        while (open_) {
            pollfd fd{STDIN_FILENO, POLLIN, 0};
            if (::poll(&fd, 1, 0) <= 0)
                break;
            char chunk[4096];
            ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
            if (n <= 0) {
                open_ = false;
                break;
            }
            buf_.append(chunk, static_cast<std::size_t>(n));
        }
        for (auto nl = buf_.find('\n'); nl != std::string::npos; nl = buf_.find('\n')) {
            out.push_back(buf_.substr(0, nl));
            buf_.erase(0, nl + 1);
        }
        return out;
    }

private:
    bool open_ = true;
    std::string buf_;
};

struct LoginOptions {
    std::string role = "ctl";
    long seconds = 10;
    bool data = false;
    bool stuck = false;                  // the data link is never read
    std::optional<std::string> displays; // JSON array answered to "D"
    std::vector<std::pair<std::string, std::string>> replies;
    std::vector<std::string> sends;
};

std::optional<LoginOptions> loginOptions(int argc, char** argv) {
    LoginOptions o;
    for (int i = 5; i < argc; ++i) {
        std::string a = argv[i];
        bool more = i + 1 < argc;
        if ((a == "ctl" || a == "data") && i == 5)
            o.role = a;
        else if (a == "--seconds" && more)
            o.seconds = std::strtol(argv[++i], nullptr, 10);
        else if (a == "--data")
            o.data = true;
        else if (a == "--stuck-data")
            o.data = o.stuck = true;
        else if (a == "--displays" && more)
            o.displays = argv[++i];
        else if (a == "--send" && more)
            o.sends.emplace_back(argv[++i]);
        else if (a == "--reply" && more) {
            std::string r = argv[++i];
            auto eq = r.find('=');
            if (eq == std::string::npos)
                return std::nullopt;
            o.replies.emplace_back(r.substr(0, eq), r.substr(eq + 1));
        } else
            return std::nullopt;
    }
    if (o.seconds < 1 || o.seconds > 3600 || (o.data && o.role != "ctl"))
        return std::nullopt;
    return o;
}

// Reads what is waiting on one link, prints it with the link's mark and answers it; false when
// a line does not open.
bool serve(FakeAgent& agent, const char* mark, const LoginOptions& o, int ms) {
    auto raw = agent.readLine(ms);
    while (raw) {
        auto line = agent.inn.open(*raw);
        if (!line) {
            std::printf("unreadable line\n");
            return false;
        }
        std::printf("%s %s\n", mark, line->c_str());
        std::fflush(stdout);
        if (*line == "D" && o.displays) {
            QByteArray json = QByteArray::fromStdString(*o.displays).toBase64();
            agent.sendSealed("d " + json.toStdString());
        }
        for (const auto& [prefix, answer] : o.replies)
            if (line->rfind(prefix, 0) == 0)
                agent.sendSealed(answer);
        raw = agent.readLine(0);
    }
    return true;
}

int login(quint16 p, int argc, char** argv) {
    auto o = loginOptions(argc, argv);
    if (!o)
        return usage();
    FakeAgent agent(argv[3]);
    if (!agent.connect(p) || !agent.login(argv[4], o->role)) {
        std::printf("login failed\n");
        return 1;
    }
    std::unique_ptr<FakeAgent> data;
    if (o->data) {
        data = std::make_unique<FakeAgent>(argv[3]);
        if (!data->connect(p) || !data->login(argv[4], "data")) {
            std::printf("data login failed\n");
            return 1;
        }
        if (o->stuck)
            data->stopReading();
    }
    std::printf("logged in\n");
    std::fflush(stdout);
    for (const auto& line : o->sends)
        agent.sendSealed(line);
    StdinLines input;
    QElapsedTimer clock, ping;
    clock.start();
    ping.start();
    while (clock.elapsed() < o->seconds * 1000 && agent.connected()) {
        if (o->role == "ctl" && ping.elapsed() >= 2000) {
            agent.sendSealed("p");
            ping.restart();
        }
        for (const auto& line : input.take()) {
            if (line == "quit")
                return 0;
            if (line == "close data" && data) {
                data->abortive();
                continue;
            }
            if (line.rfind("data ", 0) == 0 && data)
                data->sendSealed(line.substr(5));
            else
                agent.sendSealed(line);
        }
        if (!serve(agent, "<", *o, data ? 20 : 50))
            return 1;
        if (data && !o->stuck && data->connected() && !serve(*data, "<data", *o, 20))
            return 1;
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
