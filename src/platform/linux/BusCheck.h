#pragma once

#include "platform/StatusItem.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

class QProcessEnvironment;

namespace helm {

// Whether the desktop's message buses answer, asked before Qt or any of the desktop's
// libraries opens them. A bus that accepts connections and never answers holds whoever waits
// for it for good, and Qt waits for the session bus on the main thread as soon as it shows a
// window or a tray icon. Each bus is asked on a thread of its own; past the limit the answer
// counts as none, and a bus that gave none is shut for this process, so that every later user
// of it fails at once instead of waiting.
class BusCheck {
public:
    static constexpr std::chrono::milliseconds limit{2000};

    struct Result {
        bool sessionSilent = false;
        bool systemSilent = false;
        TrayWatcher watcher = TrayWatcher::none;
        // One line for the log per bus or service that did not answer.
        std::vector<std::string> lines;
    };

    // Asks the buses this process would use (the session bus of DBUS_SESSION_BUS_ADDRESS or
    // $XDG_RUNTIME_DIR/bus, the system bus of DBUS_SYSTEM_BUS_ADDRESS or its standard socket)
    // and the session bus's StatusNotifierItem watcher; returns within about `within`.
    static Result run(std::chrono::milliseconds within = limit);
    // The same for the buses at these addresses; an empty address is not asked.
    static Result run(const std::string& session, const std::string& system,
                      std::chrono::milliseconds within);

    // Points this process at no bus for each one that was silent. Before any other thread
    // than the check's own reads the environment.
    static void shut(const Result& result);
    // Gives a program started from here the bus addresses this process was started with.
    static void giveBack(QProcessEnvironment& environment);
};

} // namespace helm
