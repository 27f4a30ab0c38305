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
    if ((platform.empty() || platform == "xcb") && !x11Reachable()) {
        return "Helmvantor needs an X11 display (or QT_QPA_PLATFORM=offscreen with --test-port).";
    }
    return std::nullopt;
}

} // namespace helm
