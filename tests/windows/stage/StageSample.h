#pragma once

#include "desk/DeskModel.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace helm::test {

// The fonts and the view need an application. It is made on first use and deleted before
// the program's statics go, so the font caches it owns are freed.
class AppEnvironment : public ::testing::Environment {
public:
    static QApplication* app;
    void TearDown() override {
        delete app;
        app = nullptr;
    }
};
inline QApplication* AppEnvironment::app = nullptr;

inline void guiApp() {
    static int argc = 1;
    static char name[] = "stage_tests";
    static char* argv[] = {name, nullptr};
    if (AppEnvironment::app == nullptr) {
        AppEnvironment::app = new QApplication(argc, argv);
        ::testing::AddGlobalTestEnvironment(new AppEnvironment);
    }
}

inline Screen sampleScreen(const std::string& id, int number, std::optional<std::string> pc,
                           const std::string& computer, double yaw, double pitch, double w,
                           double h) {
    Screen s;
    s.id = id;
    s.number = number;
    s.name = "Display " + std::to_string(number);
    s.computer = std::move(pc);
    s.computerName = computer;
    s.yaw = yaw;
    s.pitch = pitch;
    s.width = w;
    s.height = h;
    return s;
}

// The picture of the desk the guide's image renderer takes: this computer's laptop below, a PC
// with two monitors to the right, everything calibrated around the default seat.
inline DeskModel sampleDesk() {
    Layout l;
    l.screens = {sampleScreen("mac/a", 1, std::nullopt, "MacBook Air", -4, -14, 26, 17),
                 sampleScreen("work-pc/A", 2, "work-pc", "WORK PC", 34, 2, 48, 28),
                 sampleScreen("work-pc/B", 3, "work-pc", "WORK PC", 34, 30, 40, 23)};
    l.bias = Angle{0, 0};
    l.seat = V3::seat;
    l.keyboard = V3{0, -27, 28};
    for (Screen& s : l.screens) {
        s.learned = true;
        s.rect = Rect3::guess(s, l);
    }
    DeskModel m(l);
    m.looking = l.screens[1].id;
    m.angle = Angle{25, 2};
    m.head = V3{-4, -6, 52};
    return m;
}

} // namespace helm::test
