// Strict base64: whatever decodes must encode back to exactly the same text, and whatever is
// encoded must decode back to the same bytes.
#include "link/Base64.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (auto bytes = helm::base64Decode(text)) {
        if (helm::base64Encode(*bytes) != text) {
            std::abort();
        }
    }
    auto again = helm::base64Decode(helm::base64Encode(data, size));
    if (!again || *again != helm::Bytes(data, data + size)) {
        std::abort();
    }
    return 0;
}
