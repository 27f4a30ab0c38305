#pragma once
// A started hub on a free port that knows one PC, "pc-1", by the secret given, with no pings or
// silence checks among the measured lines.
#include "link/Hub.h"
#include "link/PCKeys.h"

#include <QCoreApplication>
#include <chrono>
#include <memory>
#include <string>

namespace helm::bench {

inline std::unique_ptr<Hub> quietHub(const std::string& secret) {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    Hub::Options o;
    o.port = 0;
    o.discoveryPort = 0;
    o.heartbeat = std::chrono::hours(1);
    o.silence = std::chrono::hours(1);
    PCKeys keys;
    keys.set("pc-1", secret);
    auto hub = std::make_unique<Hub>(keys, "Mac", "0123456789abcdef", o);
    hub->start();
    return hub;
}

} // namespace helm::bench
