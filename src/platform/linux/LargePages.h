#pragma once
// Clips of a hundred megabytes are sealed, sent, received and decoded in buffers the size of
// the clip. Touched a 4 KiB page at a time, such a buffer takes tens of thousands of page
// faults, and on a virtual machine each one costs enough to hold up the thread that relays
// pointer lines for tens of milliseconds. The C library's allocator asks for transparent huge
// pages on its big blocks only when told so before the process starts, so the program restarts
// itself once, at launch, with that setting.
#include <optional>
#include <string>

namespace helm::LargePages {

// The allocator settings to start with: the current ones (empty when none) plus huge pages,
// or nothing when no restart is needed: the setting is already there, or the kernel gives huge
// pages to every block anyway ("always") or to none ("never", or no such kernel setting).
std::optional<std::string> tunables(const std::string& current, const std::string& kernelMode);

// Restarts this program with the setting when it is needed; returns only when it is not, or
// when the restart failed (the program then runs as it is).
void restartIfUseful(char** argv);

} // namespace helm::LargePages
