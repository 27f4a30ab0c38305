#include "windows/stage/SampleDesk.h"

#include <optional>
#include <string>
#include <utility>

namespace helm {

DeskModel calibratedDesk(std::vector<Screen> screens) {
    Layout l;
    l.screens = std::move(screens);
    l.bias = Angle{0, 0};
    l.seat = V3::seat;
    l.keyboard = V3{0, -27, 28};
    for (Screen& s : l.screens) {
        s.learned = true;
        s.rect = Rect3::guess(s, l);
    }
    DeskModel m(l);
    if (l.screens.size() > 1)
        m.looking = l.screens[1].id;
    m.angle = Angle{25, 2};
    m.head = V3{-4, -6, 52};
    return m;
}

DeskModel sampleDesk() {
    std::vector<Screen> screens;
    auto screen = [&](std::string id, int number, std::optional<std::string> pc, double yaw,
                      double pitch, double w, double h) {
        Screen s;
        s.id = std::move(id);
        s.number = number;
        s.computerName = pc ? "WORK PC" : "ThinkPad";
        s.computer = std::move(pc);
        s.yaw = yaw, s.pitch = pitch, s.width = w, s.height = h;
        screens.push_back(s);
    };
    screen("mac/a", 1, std::nullopt, -4, -14, 26, 17);
    screen("work-pc/A", 2, "work-pc", 34, 2, 48, 28);
    screen("work-pc/B", 3, "work-pc", 34, 30, 40, 23);
    return calibratedDesk(std::move(screens));
}

} // namespace helm
