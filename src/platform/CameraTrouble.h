#pragma once

namespace helm {

// Why the camera gives no picture.
enum class CameraTrouble {
    missing,   // no capture device
    unplugged, // the one in use was unplugged; another may be there
    refused,   // this user may not open it
    busy,      // another program holds it
    failed,    // it is there but cannot be opened
    stopped,   // it opened but stopped sending frames
};

} // namespace helm
