#include "platform/x11/X11DisplaySource.h"

#include "platform/x11/X11Monitors.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace helm {

X11DisplaySource::X11DisplaySource(const std::string& display)
    : dpy_(XOpenDisplay(display.empty() ? nullptr : display.c_str())) {
    if (dpy_ == nullptr) {
        return;
    }
    int errorBase = 0;
    if (!XRRQueryExtension(dpy_, &eventBase_, &errorBase)) {
        return;
    }
    XRRSelectInput(dpy_, DefaultRootWindow(dpy_),
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask |
                       RROutputPropertyNotifyMask);
    XFlush(dpy_);
    if (QCoreApplication::instance() == nullptr) {
        return; // no event loop to wake: the owner calls pump
    }
    notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(dpy_), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { pump(); });
}

X11DisplaySource::~X11DisplaySource() {
    notifier_.reset();
    if (dpy_ != nullptr) {
        XCloseDisplay(dpy_);
    }
}

std::vector<DisplayInfo> X11DisplaySource::displays() {
    std::vector<DisplayInfo> list = listMonitors(dpy_);
    // Xlib may have read notices off the socket while it waited for these replies; the socket
    // will not wake us for them.
    pumpLater();
    return list;
}

void X11DisplaySource::pump() {
    if (dpy_ == nullptr) {
        return;
    }
    bool changed = false;
    while (XPending(dpy_) > 0) {
        XEvent e;
        XNextEvent(dpy_, &e);
        if (e.type == eventBase_ + RRScreenChangeNotify) {
            XRRUpdateConfiguration(&e);
            changed = true;
        } else if (e.type == eventBase_ + RRNotify) {
            changed = true;
        }
    }
    if (changed && onChange) {
        onChange();
    }
}

void X11DisplaySource::pumpLater() {
    if (dpy_ != nullptr && notifier_ && XQLength(dpy_) > 0) {
        QTimer::singleShot(0, notifier_.get(), [this] { pump(); });
    }
}

} // namespace helm
