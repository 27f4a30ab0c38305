#include "app/DisplayCheck.h"

namespace helm {

std::optional<std::string> missingDisplay(const CommandLine& commandLine,
                                          const std::string& qpaPlatform,
                                          const std::function<bool()>& x11Reachable) {
    // Qt takes the option with one dash or two.
    std::string platform =
        commandLine.arg("-platform").value_or(commandLine.arg("--platform").value_or(qpaPlatform));
    // "xcb:option=value" names the plugin before the colon.
    platform = platform.substr(0, platform.find(':'));
    if (!platform.empty()) {
        if (std::optional<std::string> line = refusedPlatform(commandLine, platform)) {
            return line;
        }
    }
    if ((platform.empty() || platform == "xcb") && !x11Reachable()) {
        return "Helmvantor needs an X11 display (or QT_QPA_PLATFORM=offscreen with --test-port).";
    }
    return std::nullopt;
}

std::optional<std::string> refusedPlatform(const CommandLine& commandLine,
                                           const std::string& chosen) {
    if (commandLine.simOnly() || chosen == "xcb") {
        return std::nullopt;
    }
    return "Helmvantor needs X11, not Qt's \"" + chosen +
           "\" platform (use QT_QPA_PLATFORM=xcb, or offscreen with --test-port).";
}

} // namespace helm
