#pragma once

#include "app/App.h"
#include "app/Log.h"
#include "desk/DisplayInfo.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace helm::test {

// An application object over in-memory defaults, with the log in a temporary folder.
struct AppFixture {
    int argc = 1;
    char name[11] = "helmvantor";
    char* argv[2] = {name, nullptr};
    QApplication qapp{argc, argv};
    QTemporaryDir dir;
    Defaults defaults;

    AppFixture() {
        setLogPath(dir.path().toStdString() + "/pivmor.log");
        // The hub of a launched program listens on ports of the system's choosing, so tests
        // never meet a running copy or each other.
        qputenv("HELMVANTOR_HUB_PORT", "0");
        qputenv("HELMVANTOR_DISCOVERY_PORT", "0");
    }
    ~AppFixture() { setLogPath(""); }

    std::unique_ptr<App> make(std::vector<std::string> args, Platform platform = simPlatform()) {
        args.insert(args.begin(), "helmvantor");
        return std::make_unique<App>(CommandLine(std::move(args)), defaults, std::move(platform));
    }

    // The log's messages, dates cut off.
    std::vector<std::string> logged() const {
        std::ifstream in(dir.path().toStdString() + "/pivmor.log");
        std::vector<std::string> out;
        for (std::string l; std::getline(in, l);) {
            out.push_back(l.size() > 26 ? l.substr(26) : l);
        }
        return out;
    }
    bool wasLogged(const std::string& line) const {
        const auto lines = logged();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    // How many lines start with prefix.
    int countLogged(const std::string& prefix) const {
        const auto lines = logged();
        return static_cast<int>(std::count_if(
            lines.begin(), lines.end(), [&](const auto& l) { return l.rfind(prefix, 0) == 0; }));
    }
};

// A display of this computer on the top row of the desktop.
inline DisplayInfo display(int index, double x, double w, double h) {
    DisplayInfo d;
    d.index = index;
    d.x = x;
    d.w = w;
    d.h = h;
    return d;
}

// A screen of this computer, or of the PC given, named as the menu and notes show it.
inline Screen pcScreen(const std::string& id, int number, std::optional<std::string> pc = {}) {
    Screen s;
    s.id = id;
    s.number = number;
    s.name = "Panel";
    s.computer = std::move(pc);
    s.computerName = s.computer ? "PC " + *s.computer : "This computer";
    return s;
}

} // namespace helm::test
