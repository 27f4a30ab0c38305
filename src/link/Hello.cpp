#include "link/Hello.h"

#include <vector>

namespace helm {

std::optional<Hello> Hello::parse(std::string_view line) {
    std::vector<std::string_view> t;
    std::size_t i = 0;
    while (i < line.size() && t.size() <= 6) {
        std::size_t sp = line.find(' ', i);
        if (sp == std::string_view::npos)
            sp = line.size();
        if (sp > i)
            t.push_back(line.substr(i, sp - i));
        i = sp + 1;
    }
    Hello h;
    if (t.size() == 5 && t[0] == "pair") {
        h.pairing = true;
        h.role = "pair";
    } else if (t.size() == 6 && t[0] == "h" && (t[5] == "ctl" || t[5] == "data")) {
        h.role = std::string(t[5]);
    } else {
        return std::nullopt;
    }
    if (t[2].size() != 32)
        return std::nullopt;
    h.name = std::string(t[1]);
    h.nonce = std::string(t[2]);
    h.keyText = std::string(t[3]);
    h.proof = std::string(t[4]);
    return h;
}

} // namespace helm
