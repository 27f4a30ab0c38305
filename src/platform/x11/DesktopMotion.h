#pragma once

// The desktop's wish for less motion on screen.
namespace helm::DesktopMotion {

// True when GNOME's animations are switched off; false wherever the setting cannot be read.
bool reduced();

} // namespace helm::DesktopMotion
