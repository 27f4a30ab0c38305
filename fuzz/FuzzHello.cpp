// The first line of a connection comes from anyone on the network.
#include "link/Hello.h"
#include "link/LineSplitter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string line = helm::lossyUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    auto h = helm::Hello::parse(line);
    if (h) {
        if (h->nonce.size() != 32 || h->name.empty() || h->keyText.empty() || h->proof.empty())
            std::abort();
        if (h->pairing != (h->role == "pair"))
            std::abort();
        if (h->role != "ctl" && h->role != "data" && h->role != "pair")
            std::abort();
    }
    return 0;
}
