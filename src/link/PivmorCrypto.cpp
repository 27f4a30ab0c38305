#include "link/PivmorCrypto.h"

#include "link/Base64.h"
#include "link/Hex.h"

#include <cstdio>

namespace helm {

std::string PivmorCrypto::transcript(std::string_view hubNonce, std::string_view agentNonce,
                                     std::string_view hubKey, std::string_view agentKey,
                                     std::string_view role) {
    std::string t = "pivmor2|";
    for (std::string_view field : {hubNonce, agentNonce, hubKey, agentKey}) {
        t += field;
        t += '|';
    }
    t += role;
    return t;
}

std::string PivmorCrypto::hmac(std::string_view key, std::string_view message) {
    Digest d = hmacSha256(key, message);
    return hex(d.data(), d.size());
}

bool PivmorCrypto::same(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    // Volatile keeps the compiler from turning the loop into an early-exit comparison.
    volatile unsigned char diff = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        diff = diff | static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return diff == 0;
}

PivmorCrypto::LinkKeys PivmorCrypto::keys(std::string_view shared, std::string_view secret,
                                          std::string_view transcript) {
    auto derive = [&](std::string_view label) {
        std::string info(label);
        info += '|';
        info += transcript;
        Bytes okm = hkdfSha256(shared, secret, info, 32);
        Key k{};
        std::copy(okm.begin(), okm.end(), k.begin());
        return k;
    };
    return {derive("h2a"), derive("a2h")};
}

std::string PivmorCrypto::checkCode(std::string_view transcript) {
    std::string input = "pivmor-check|";
    input += transcript;
    Digest d = sha256(input);
    std::uint32_t v = (std::uint32_t{d[0]} << 24) | (std::uint32_t{d[1]} << 16) |
                      (std::uint32_t{d[2]} << 8) | std::uint32_t{d[3]};
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04u", static_cast<unsigned>(v % 10000U));
    return buf;
}

std::string PivmorCrypto::b64(const Bytes& bytes) {
    return base64Encode(bytes);
}

} // namespace helm
