#include "link/PCKeys.h"

#include "link/Evp.h"
#include "link/Hex.h"

#include <algorithm>

namespace helm {

std::optional<PCKeys::Found> PCKeys::secret(const std::string& name) const {
    if (auto it = perPC.find(name); it != perPC.end()) {
        return Found{it->second, false};
    }
    if (legacy && std::find(legacyNames.begin(), legacyNames.end(), name) != legacyNames.end()) {
        return Found{*legacy, true};
    }
    return std::nullopt;
}

void PCKeys::dropLegacyName(const std::string& name) {
    std::erase(legacyNames, name);
    if (legacyNames.empty()) {
        legacy.reset();
    }
}

void PCKeys::set(const std::string& name, const std::string& secret) {
    perPC[name] = secret;
    rekeying.erase(name);
    dropLegacyName(name);
}

void PCKeys::forget(const std::string& name) {
    perPC.erase(name);
    rekeying.erase(name);
    dropLegacyName(name);
}

std::string PCKeys::fresh() {
    return hex(randomBytes(24));
}

json::Json PCKeys::toJson() const {
    json::Json j = {{"perPC", perPC}, {"legacyNames", legacyNames}};
    if (legacy) {
        j["legacy"] = *legacy;
    }
    if (!rekeying.empty()) {
        j["rekeying"] = rekeying;
    }
    return j;
}

PCKeys PCKeys::fromJson(const json::Json& j) {
    PCKeys k;
    const auto& per = json::field(j, "perPC");
    if (!per.is_object()) {
        throw json::DecodeError("\"perPC\": expected an object");
    }
    for (const auto& [name, secret] : per.items()) {
        k.perPC[name] = json::toString(secret, "perPC");
    }
    if (const auto* legacy = json::optionalField(j, "legacy")) {
        k.legacy = json::toString(*legacy, "legacy");
    }
    const auto& names = json::field(j, "legacyNames");
    if (!names.is_array()) {
        throw json::DecodeError("\"legacyNames\": expected an array");
    }
    for (const auto& n : names) {
        k.legacyNames.push_back(json::toString(n, "legacyNames"));
    }
    if (const auto* rekeying = json::optionalField(j, "rekeying")) {
        if (!rekeying->is_object()) {
            throw json::DecodeError("\"rekeying\": expected an object");
        }
        for (const auto& [name, secret] : rekeying->items()) {
            k.rekeying[name] = json::toString(secret, "rekeying");
        }
    }
    return k;
}

} // namespace helm
