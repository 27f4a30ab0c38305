// Opening sealed lines: random text never opens and never moves the counter; a line sealed
// from the input opens to exactly the input when it is UTF-8.
#include "link/Sealer.h"
#include "link/Utf8.h"

#include <cstdlib>

namespace {

helm::Key key() {
    helm::Key k{};
    for (std::size_t i = 0; i < k.size(); ++i) {
        k[i] = static_cast<std::uint8_t>(3 * i + 1);
    }
    return k;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    helm::Sealer in(key());
    if (auto plain = in.open(input)) {
        // Only a genuine seal of line 0 under this key can open; it must then be consistent.
        helm::Sealer out(key());
        if (out.seal(*plain) != input || in.counter() != 1) {
            std::abort();
        }
    } else if (in.counter() != 0) {
        std::abort();
    }

    helm::Sealer out(key(), 7);
    helm::Sealer back(key(), 7);
    auto opened = back.open(out.seal(input));
    if (opened.has_value() != helm::isValidUtf8(input) || (opened && *opened != input)) {
        std::abort();
    }
    return 0;
}
