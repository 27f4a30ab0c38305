#include "app/NumberText.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace helm {

std::string shortest(double v) {
    if (!std::isfinite(v)) {
        return std::isnan(v) ? "nan" : (v > 0 ? "inf" : "-inf");
    }
    char text[40];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, v);
        if (std::strtod(text, nullptr) == v) {
            break;
        }
    }
    std::string out = text;
    if (out.find_first_of(".en") == std::string::npos) {
        out += ".0";
    }
    return out;
}

std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    int n = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, again);
        out.pop_back();
    }
    va_end(again);
    return out;
}

} // namespace helm
