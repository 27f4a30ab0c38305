#include "platform/linux/IfaddrsAddresses.h"

#include <arpa/inet.h>
#include <cstdio>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace helm {

std::vector<std::string> IfaddrsAddresses::addresses() const {
    std::vector<std::string> out;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return out;
    for (ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || !(a->ifa_flags & IFF_UP))
            continue;
        const auto* sin = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
        auto* b = reinterpret_cast<const unsigned char*>(&sin->sin_addr.s_addr);
        char text[16];
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
        out.emplace_back(text);
    }
    freeifaddrs(list);
    return out;
}

} // namespace helm
