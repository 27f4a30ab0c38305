// Autostart entries come from the system's folders: reading one never fails, and an Exec
// argument we quote always splits back to itself.
#include "platform/linux/DesktopEntry.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    auto keys = helm::DesktopEntry::read(text);
    if (auto exec = keys.find("Exec"); exec != keys.end()) {
        (void)helm::DesktopEntry::splitExec(exec->second);
    }
    (void)helm::DesktopEntry::splitExec(text);

    // Line breaks cannot stand in an Exec value unescaped; the entry's escape carries them.
    std::string line = helm::DesktopEntry::escape(helm::DesktopEntry::quoteArg(text));
    auto back = helm::DesktopEntry::read("[Desktop Entry]\nExec=" + line + "\n");
    auto args = helm::DesktopEntry::splitExec(back["Exec"]);
    if (!args || args->size() != 1 || args->front() != text) {
        // Leading or trailing blanks are trimmed from values by the format itself.
        if (text.find_first_of(" \t\r\n") == std::string::npos) {
            std::abort();
        }
    }
    return 0;
}
