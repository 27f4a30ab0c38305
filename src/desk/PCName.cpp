#include "desk/PCName.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace helm {

std::string shownPCName(const std::string& pc) {
    std::string spaced = pc;
    for (char& c : spaced) {
        if (c == '-') {
            c = ' ';
        }
    }
    std::string out;
    icu::UnicodeString::fromUTF8(spaced).toUpper(icu::Locale::getRoot()).toUTF8String(out);
    return out;
}

} // namespace helm
