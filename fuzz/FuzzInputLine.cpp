// "L" lines from a PC: the fast pointer road and the relayed input lines.
#include "link/Decimal.h"
#include "link/Wire.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view line(reinterpret_cast<const char*>(data), size);
    if (auto move = helm::Wire::fastMove(line)) {
        // A move that the fast road takes reads the same on the main-thread road.
        if (line.substr(0, 2) != "L ") {
            std::abort();
        }
        auto in = helm::Wire::input(line.substr(2));
        if (!in || in->keyword != "m" || in->numbers.size() != 2 || in->numbers[0] != move->first ||
            in->numbers[1] != move->second) {
            std::abort();
        }
    }
    if (auto in = helm::Wire::input(line)) {
        if (in->keyword.empty() || in->keyword.find(' ') != std::string::npos) {
            std::abort();
        }
    }
    for (auto token : helm::Wire::split(line)) {
        if (token.empty() || token.find(' ') != std::string_view::npos) {
            std::abort();
        }
    }
    (void)helm::Wire::isValidPCName(line);
    return 0;
}
