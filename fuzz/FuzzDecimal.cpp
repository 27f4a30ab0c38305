// The integer parser against the C library's: both must agree on every token of an optional
// sign and digits, and nothing else may parse.
#include "link/Decimal.h"

#include <cerrno>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string token(reinterpret_cast<const char*>(data), size);
    auto parsed = helm::parseDecimal(token);

    std::size_t digits = !token.empty() && (token[0] == '+' || token[0] == '-') ? 1 : 0;
    bool shaped =
        digits < token.size() && token.find_first_not_of("0123456789", digits) == std::string::npos;
    if (!shaped) {
        if (parsed) {
            std::abort();
        }
        return 0;
    }
    errno = 0;
    long long expected = std::strtoll(token.c_str(), nullptr, 10);
    bool overflow = errno == ERANGE;
    if (overflow != !parsed || (parsed && *parsed != expected)) {
        std::abort();
    }
    if (parsed && helm::parseDecimal(helm::decimal(*parsed)) != parsed) {
        std::abort();
    }
    return 0;
}
