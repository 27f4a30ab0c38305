#pragma once

namespace helm {

// Where a line of the hub's log comes from, so that the log can keep a flood from one source
// from hiding the lines of another.
enum class LogSource {
    hub,   // the hub's own state: the listener, discovery
    noise, // a connection that proved no secret: any host can cause any number of these
    pc,    // what a PC's line caused: it repeats as often as the PC sends it
    event, // a PC's link, key or pairing changing: few, and every one of them matters
};

} // namespace helm
