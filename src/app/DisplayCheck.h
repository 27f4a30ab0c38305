#pragma once

#include "app/CommandLine.h"

#include <functional>
#include <optional>
#include <string>

namespace helm {

// Qt's platform plugin ends the process when it has no display to talk to. This decides before
// the application object exists, so the user reads one line instead of an abort.
//
// qpaPlatform is $QT_QPA_PLATFORM (empty when unset); a "-platform" argument overrides it, as
// it does for Qt. Either may list plugins for Qt to try in order ("wayland;xcb"). Qt's default
// and "xcb" need an X server, asked through x11Reachable. Outside simulation mode a list
// without xcb is refused: the desktop's services (tray, keyring, input) exist only on X11; a
// list with it may start, and the plugin Qt took is judged by refusedPlatform once the
// application exists. Answers the line to print, or nothing when Qt may start.
std::optional<std::string> missingDisplay(const CommandLine& commandLine,
                                          const std::string& qpaPlatform,
                                          const std::function<bool()>& x11Reachable);

// The same refusal for the platform Qt chose by itself (its default may be Wayland's).
std::optional<std::string> refusedPlatform(const CommandLine& commandLine,
                                           const std::string& chosen);

} // namespace helm
