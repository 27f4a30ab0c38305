// Received file names: a name that comes out is one path component that is safe to create.
#include "link/Utf8.h"
#include "link/Wire.h"

#include <cstdlib>

namespace {

bool refused(char32_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == '/' || c == '\\' || c == ':' ||
           c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*' ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view name(reinterpret_cast<const char*>(data), size);
    auto safe = helm::Wire::safeName(name);
    if (!safe) {
        return 0;
    }
    const std::string& s = *safe;
    if (s.empty() || s.size() >= 256 || s.front() == '.' || s.front() == ' ' || s.back() == ' ' ||
        !helm::isValidUtf8(s)) {
        std::abort();
    }
    std::size_t pos = 0;
    while (pos < s.size()) {
        auto c = helm::nextScalar(s, pos);
        if (!c || refused(*c)) {
            std::abort();
        }
    }
    // Cleaning is idempotent: a clean name passes unchanged.
    if (helm::Wire::safeName(s) != s) {
        std::abort();
    }
    return 0;
}
