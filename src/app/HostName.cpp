#include "app/HostName.h"

#include <QString>
#include <QSysInfo>

#include <utility>

namespace helm {

std::string hostName(const std::string& fallback) {
    std::string name = QSysInfo::machineHostName().toStdString();
    if (name.empty()) {
        return fallback;
    }
    // Built afresh rather than replaced in place: in-place replacement trips a false overlap
    // warning in GCC 12.
    const std::string curly = "\xE2\x80\x99";
    std::string plain;
    for (std::size_t at = 0; at < name.size();) {
        if (name.compare(at, curly.size(), curly) == 0) {
            plain += '\'';
            at += curly.size();
        } else {
            plain += name[at++];
        }
    }
    name = std::move(plain);
    return name;
}

} // namespace helm
