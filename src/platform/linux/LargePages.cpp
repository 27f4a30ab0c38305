#include "platform/linux/LargePages.h"

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace helm::LargePages {

namespace {

constexpr const char* setting = "glibc.malloc.hugetlb";

} // namespace

std::optional<std::string> tunables(const std::string& current, const std::string& kernelMode) {
    if (kernelMode.find("[madvise]") == std::string::npos ||
        current.find(setting) != std::string::npos) {
        return std::nullopt;
    }
    std::string with = std::string(setting) + "=1";
    return current.empty() ? with : current + ":" + with;
}

void restartIfUseful(char** argv) {
    std::string mode;
    std::getline(std::ifstream("/sys/kernel/mm/transparent_hugepage/enabled"), mode);
    const char* current = std::getenv("GLIBC_TUNABLES");
    std::optional<std::string> next = tunables(current != nullptr ? current : "", mode);
    if (!next || ::setenv("GLIBC_TUNABLES", next->c_str(), 1) != 0) {
        return;
    }
    ::execv("/proc/self/exe", argv);
    // Not restarted: the setting stays, harmless, so that no later attempt is made.
}

} // namespace helm::LargePages
