#pragma once
// One QApplication for a widget test program, made on first use and deleted at exit after the
// font cache and the input devices it uses.
#include "ui/Fonts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPointingDevice>

#include <cstdlib>

namespace helm::test {

inline void needWidgetApplication(const char* programName) {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(programName), nullptr};
    static QApplication* app = nullptr;
    if (app == nullptr) {
        app = new QApplication(argc, argv);
        // Made before the exit handler is registered, so the application goes first at exit.
        QFontMetrics(Fonts::font(13, QFont::Normal)).height();
        (void)QPointingDevice::primaryPointingDevice();
        std::atexit([] { delete app; });
    }
}

} // namespace helm::test
