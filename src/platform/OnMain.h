#pragma once

#include <functional>

namespace helm {

// Runs fn later on the main thread's event loop; callable from any thread. Does nothing
// when there is no application object (fn is dropped).
void onMain(std::function<void()> fn);

// True on the thread that runs the main event loop.
bool isMainThread();

} // namespace helm
