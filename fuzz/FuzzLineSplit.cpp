// The hub's line splitter must give the same lines however the stream is cut into reads and
// whichever lines it keeps as long ones.
#include "link/LineSplitter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte seeds the chunk sizes and picks the long-line size; the rest is the stream.
    unsigned seed = data[0];
    const std::size_t longLine = 1 + data[0] % 32;
    std::string stream(reinterpret_cast<const char*>(data + 1), size - 1);

    std::vector<std::string> expected;
    std::size_t start = 0;
    for (std::size_t i = 0; i < stream.size(); ++i)
        if (stream[i] == '\n') {
            expected.push_back(stream.substr(start, i - start));
            start = i + 1;
        }
    std::size_t rest = stream.size() - start;

    helm::LineSplitter buf(longLine);
    std::vector<std::string> got;
    std::size_t at = 0;
    while (at < stream.size()) {
        seed = seed * 1103515245u + 12345u;
        std::size_t n = 1 + (seed >> 16) % 17;
        if (n > stream.size() - at)
            n = stream.size() - at;
        buf.append(stream.data() + at, n);
        at += n;
        for (;;) {
            if (buf.hasLong()) {
                got.emplace_back(buf.takeLong().view());
            } else if (auto line = buf.next()) {
                got.emplace_back(*line);
            } else {
                break;
            }
        }
        buf.compact();
    }
    if (got != expected || buf.size() != rest)
        std::abort();
    return 0;
}
