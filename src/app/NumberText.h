#pragma once

#include <string>

namespace helm {

// The shortest decimal text that reads back as the same double, with ".0" on whole numbers:
// 0.5 → "0.5", 1 → "1.0", 0.1 + 0.2 → "0.30000000000000004".
std::string shortest(double v);

// printf-style formatting into a string of the length needed.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

} // namespace helm
