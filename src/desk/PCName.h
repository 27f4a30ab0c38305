#pragma once

#include <string>

namespace helm {

// A PC's name as this program shows it wherever the user has not named it: every "-" a space,
// upper-cased by Unicode rules ("büro-pc" → "BÜRO PC", "ß" → "SS"); malformed UTF-8 from the
// network becomes a replacement mark rather than failing.
std::string shownPCName(const std::string& pc);

} // namespace helm
