#pragma once

namespace helm {

// An X server answers at $DISPLAY: a connection to it opens (and is closed again at once).
bool x11ServerReachable();

} // namespace helm
