#pragma once

#include <string>

// The user's folders as the XDG base-directory rules give them. Each falls back to its usual
// place under the home folder when its variable is unset, empty or not an absolute path.
namespace helm::paths {

std::string home();
std::string configHome(); // $XDG_CONFIG_HOME or ~/.config
std::string stateHome();  // $XDG_STATE_HOME or ~/.local/state
std::string dataHome();   // $XDG_DATA_HOME or ~/.local/share

} // namespace helm::paths
