#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace helm {

// Gathers lines under the lock and writes them once it is let go: the writer may take locks of
// its own, and a slow file must not hold up the other threads that log.
template <class Gather>
void writeOutside(std::mutex& mutex, const std::function<void(const std::string&)>& write,
                  Gather&& gather) {
    std::vector<std::string> out;
    {
        std::lock_guard lock(mutex);
        gather(out);
    }
    for (const std::string& line : out) {
        write(line);
    }
}

} // namespace helm
