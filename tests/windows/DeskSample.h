#pragma once

#include "desk/DeskModel.h"
#include "desk/Layout.h"
#include "ui/Fonts.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QStyleFactory>
#include <QWidget>

#include <cstdlib>
#include <optional>
#include <string>

namespace helm::test {

inline Screen sampleScreen(std::string id, int number, std::optional<std::string> computer,
                           double yaw, double pitch, double w = 30, double h = 18) {
    Screen s;
    s.id = std::move(id);
    s.number = number;
    s.name = "Display " + std::to_string(number);
    s.computer = std::move(computer);
    s.computerName = s.computer ? "Tower" : "This computer";
    s.yaw = yaw;
    s.pitch = pitch;
    s.width = w;
    s.height = h;
    s.learned = true;
    return s;
}

// Two screens of this computer and one of a PC to their right.
inline Layout sampleLayout() {
    Layout l;
    l.screens = {sampleScreen("mac/a", 1, std::nullopt, 0, 0),
                 sampleScreen("mac/b", 2, std::nullopt, -32, 0),
                 sampleScreen("pc/x", 3, "tower", 34, 2)};
    return l;
}

// The Qt application the views need, made once, in the style the program uses.
inline void needApplication() {
    static int argc = 1;
    static char name[] = "windows_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = nullptr;
    if (app == nullptr) {
        app = new QApplication(argc, argv);
        QApplication::setStyle(QStyleFactory::create("Fusion"));
        // The font cache is made before the exit handler is registered, so the application
        // goes first at exit; the other way round its destructor finds the cache gone.
        QFontMetrics(Fonts::font(13, QFont::Normal)).height();
        // Likewise the list of input devices that mouse events register with.
        (void)QPointingDevice::primaryPointingDevice();
        std::atexit([] { delete app; });
    }
}

// One mouse event at a point of w, with the global position a real pointer would have.
inline void mouse(QWidget& w, QEvent::Type type, QPointF at,
                  Qt::MouseButtons held = Qt::LeftButton) {
    QMouseEvent e(type, at, w.mapToGlobal(at),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

} // namespace helm::test
