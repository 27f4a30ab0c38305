#include "platform/NetAddresses.h"

#include <charconv>

namespace helm {

bool NetAddresses::isTailscale(const std::string& address) {
    std::vector<long> parts;
    std::size_t i = 0;
    while (i <= address.size()) {
        std::size_t dot = address.find('.', i);
        if (dot == std::string::npos)
            dot = address.size();
        if (dot > i) {
            const char* first = address.data() + i;
            const char* last = address.data() + dot;
            if (*first == '+')
                ++first; // a decimal parse accepts a leading plus sign
            long v = 0;
            auto [end, ec] = std::from_chars(first, last, v);
            if (ec == std::errc() && end == last && first != last)
                parts.push_back(v);
        }
        i = dot + 1;
    }
    return parts.size() == 4 && parts[0] == 100 && (parts[1] & 0xC0) == 0x40;
}

std::optional<std::string> NetAddresses::lanAddress(const std::vector<std::string>& list) {
    for (const auto& a : list)
        if (!isTailscale(a) && a.rfind("127.", 0) != 0 && a.rfind("169.254.", 0) != 0)
            return a;
    return std::nullopt;
}

std::optional<std::string> NetAddresses::tailscaleAddress(const std::vector<std::string>& list) {
    for (const auto& a : list)
        if (isTailscale(a))
            return a;
    return std::nullopt;
}

} // namespace helm
