#pragma once

#include <optional>
#include <string>
#include <vector>

namespace helm {

// This computer's IPv4 addresses and the two that matter to the link: the LAN address shown to
// the user and the Tailscale address the hub may be told to listen on alone. The system's list
// on the desktop, a fixed one in simulation mode and tests.
class NetAddresses {
public:
    virtual ~NetAddresses() = default;

    // Every IPv4 address of an interface that is up, loopback included, in the system's order.
    virtual std::vector<std::string> addresses() const = 0;

    std::optional<std::string> lanAddress() const { return lanAddress(addresses()); }
    std::optional<std::string> tailscaleAddress() const { return tailscaleAddress(addresses()); }

    // Whether a dotted-decimal address lies in 100.64.0.0/10.
    static bool isTailscale(const std::string& address);
    static std::optional<std::string> lanAddress(const std::vector<std::string>& list);
    static std::optional<std::string> tailscaleAddress(const std::vector<std::string>& list);
};

} // namespace helm
