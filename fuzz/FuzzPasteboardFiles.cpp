// File lists on the desktop clipboard come from any program: every path taken is absolute and
// free of NUL bytes, and writing the paths back and reading them again gives the same paths.
#include "platform/PasteboardFormats.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace fmt = helm::pasteboardFormats;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& paths : {fmt::pathsFromUriList(text), fmt::pathsFromGnomeFiles(text)}) {
        for (const std::string& p : paths) {
            if (p.empty() || p.front() != '/' || p.find('\0') != std::string::npos)
                std::abort();
        }
        if (fmt::pathsFromUriList(fmt::uriListOf(paths)) != paths ||
            fmt::pathsFromGnomeFiles(fmt::gnomeFilesOf(paths)) != paths)
            std::abort();
    }
    return 0;
}
