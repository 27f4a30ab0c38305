#include "app/DisplayCheck.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace helm {

namespace {

// The plugins Qt tries, in order: "wayland;xcb" is a list, "xcb:nograb" names its plugin before
// the colon. Qt lowercases the names and skips empty entries, but trims nothing.
std::vector<std::string> plugins(const std::string& platform) {
    std::vector<std::string> names;
    std::size_t from = 0;
    while (from <= platform.size()) {
        std::size_t end = std::min(platform.find(';', from), platform.size());
        std::string name = platform.substr(from, end - from);
        name = name.substr(0, name.find(':'));
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (!name.empty()) {
            names.push_back(std::move(name));
        }
        from = end + 1;
    }
    return names;
}

} // namespace

std::optional<std::string> missingDisplay(const CommandLine& commandLine,
                                          const std::string& qpaPlatform,
                                          const std::function<bool()>& x11Reachable) {
    // Qt takes the option with one dash or two.
    const std::vector<std::string> names = plugins(
        commandLine.arg("-platform").value_or(commandLine.arg("--platform").value_or(qpaPlatform)));
    const auto xcb = std::count(names.begin(), names.end(), "xcb");
    // No name at all is Qt's own default, xcb on an X11 desktop.
    if (!names.empty() && xcb == 0) {
        // Qt cannot end on xcb: refused now rather than after a plugin that may abort.
        std::string list;
        for (const std::string& n : names) {
            list += (list.empty() ? "" : ";") + n;
        }
        return refusedPlatform(commandLine, list);
    }
    // Without an X server Qt goes on to the list's other plugins, which only simulation mode
    // takes; with none left it would abort.
    const bool others = static_cast<std::size_t>(xcb) < names.size();
    if (!x11Reachable() && !(commandLine.simOnly() && others)) {
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
