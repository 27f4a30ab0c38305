#pragma once

#include <chrono>

namespace helm::test {

// Owns the clipboard with a text that it hands over in pieces (INCR), one byte each `each`, and
// never to its end. Prints "ready" once the clipboard is its own; runs until it is killed.
int holdSlowly(std::chrono::milliseconds each);

} // namespace helm::test
