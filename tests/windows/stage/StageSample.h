#pragma once

#include "desk/DeskModel.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace helm::test {

// The fonts and the view need an application. It goes at the end of the test run, before the
// statics: deleted later, with the bundled fonts registered, it would touch a gone font cache.
struct AppEnvironment : ::testing::Environment {
    QApplication* app = nullptr;
    void TearDown() override { delete app; }
};

inline void guiApp() {
    static int argc = 1;
    static char name[] = "stage_tests";
    static char* argv[] = {name, nullptr};
    static AppEnvironment* env = nullptr;
    if (env == nullptr) {
        env = new AppEnvironment;
        env->app = new QApplication(argc, argv);
        ::testing::AddGlobalTestEnvironment(env);
    }
}

// The picture of the desk the guide's image renderer takes: this computer's laptop below, a PC
// with two monitors to the right, everything calibrated around the default seat.
inline DeskModel sampleDesk() {
    Layout l;
    auto screen = [&](std::string id, int number, std::optional<std::string> pc, double yaw,
                      double pitch, double w, double h) {
        Screen s;
        s.id = std::move(id);
        s.number = number;
        s.computerName = pc ? "WORK PC" : "MacBook Air";
        s.computer = std::move(pc);
        s.yaw = yaw, s.pitch = pitch, s.width = w, s.height = h;
        l.screens.push_back(s);
    };
    screen("mac/a", 1, std::nullopt, -4, -14, 26, 17);
    screen("work-pc/A", 2, "work-pc", 34, 2, 48, 28);
    screen("work-pc/B", 3, "work-pc", 34, 30, 40, 23);
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
