#include "app/HostName.h"

#include <QString>
#include <QSysInfo>

namespace helm {

std::string hostName(const std::string& fallback) {
    std::string name = QSysInfo::machineHostName().toStdString();
    if (name.empty()) {
        return fallback;
    }
    const std::string curly = "\xE2\x80\x99";
    for (std::size_t at = name.find(curly); at != std::string::npos; at = name.find(curly, at)) {
        name.replace(at, curly.size(), "'");
    }
    return name;
}

} // namespace helm
