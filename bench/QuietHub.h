#pragma once
// A started hub on a free port that knows one PC, "pc-1", by the secret given, with no pings or
// silence checks among the measured lines (unless a heartbeat is asked for).
#include "link/Hub.h"
#include "link/PCKeys.h"

#include <QCoreApplication>
#include <chrono>
#include <memory>
#include <string>

namespace helm::bench {

inline std::unique_ptr<Hub> quietHub(const std::string& secret,
                                     std::chrono::milliseconds heartbeat = std::chrono::hours(1)) {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    // A benchmark that runs the whole application has made its QApplication already.
    static QCoreApplication* app =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    Hub::Options o;
    o.port = 0;
    o.discoveryPort = 0;
    o.heartbeat = heartbeat;
    o.silence = std::chrono::hours(1);
    PCKeys keys;
    keys.set("pc-1", secret);
    auto hub = std::make_unique<Hub>(keys, "Mac", "0123456789abcdef", o);
    hub->start();
    return hub;
}

} // namespace helm::bench
