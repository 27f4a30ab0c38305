#pragma once
// The first line an agent sends on a connection: a login hello ("h") or a pairing hello ("pair").
#include <optional>
#include <string>
#include <string_view>

namespace helm {

struct Hello {
    bool pairing = false;
    std::string name;
    std::string nonce;   // the agent's nonce, exactly 32 bytes
    std::string keyText; // the agent's public key as it travelled
    std::string proof;
    std::string role; // "ctl", "data" or "pair"

    // The hello's fields, or nothing when its shape is wrong. The key is checked by the caller.
    static std::optional<Hello> parse(std::string_view line);
};

} // namespace helm
