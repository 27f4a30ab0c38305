#pragma once

#include "link/Bytes.h"
#include "link/Evp.h"

#include <string>
#include <string_view>

namespace helm {

// The pure functions of the login and pairing handshakes. The PC agent computes the same
// values byte for byte, so every string, order and width here is part of the wire protocol.
class PivmorCrypto {
public:
    PivmorCrypto() = delete;

    struct LinkKeys {
        Key hubToAgent; // keys the hub's sending sealer
        Key agentToHub; // keys the hub's receiving sealer
    };

    // "pivmor2|" and the five fields exactly as they travelled, joined by "|".
    static std::string transcript(std::string_view hubNonce, std::string_view agentNonce,
                                  std::string_view hubKey, std::string_view agentKey,
                                  std::string_view role);

    // HMAC-SHA256 keyed with the key string's bytes, as 64 lowercase hexadecimal characters.
    static std::string hmac(std::string_view key, std::string_view message);

    // Byte equality in time that does not depend on where the strings differ.
    static bool same(std::string_view a, std::string_view b);

    // The two link keys: HKDF-SHA256 of the key-agreement secret, salted with the secret
    // string, with "h2a|T" and "a2h|T" as info.
    static LinkKeys keys(std::string_view shared, std::string_view secret,
                         std::string_view transcript);

    // The 4-digit code both sides show while pairing.
    static std::string checkCode(std::string_view transcript);

    static std::string b64(const Bytes& bytes);
};

} // namespace helm
