#include "app/SimDisplays.h"

#include "app/Log.h"

#include <cstdlib>

namespace helm {

std::optional<std::vector<DisplayInfo>> simDisplays() {
    const char* text = std::getenv("HELMVANTOR_DISPLAYS");
    if (text == nullptr) {
        return std::nullopt;
    }
    try {
        return DisplayInfo::listFromJson(json::parse(text));
    } catch (const json::DecodeError& e) {
        log(std::string("HELMVANTOR_DISPLAYS ignored: ") + e.what());
        return std::nullopt;
    }
}

} // namespace helm
