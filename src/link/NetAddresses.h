#pragma once
// This computer's IPv4 addresses and the two that matter to the link: the LAN address shown to
// the user and the Tailscale address the hub may be told to listen on alone.
#include <optional>
#include <string>
#include <vector>

namespace helm {

struct NetAddresses {
    // Every IPv4 address of an interface that is up, loopback included, in the system's order.
    static std::vector<std::string> addresses();
    // Whether a dotted-decimal address lies in 100.64.0.0/10.
    static bool isTailscale(const std::string& address);
    static std::optional<std::string> lanAddress(const std::vector<std::string>& list);
    static std::optional<std::string> tailscaleAddress(const std::vector<std::string>& list);
    static std::optional<std::string> lanAddress() { return lanAddress(addresses()); }
    static std::optional<std::string> tailscaleAddress() { return tailscaleAddress(addresses()); }
};

} // namespace helm
