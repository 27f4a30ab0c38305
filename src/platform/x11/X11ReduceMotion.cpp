#include "platform/x11/X11ReduceMotion.h"

#include "platform/x11/DesktopMotion.h"

#include <QSettings>
#include <QStandardPaths>

namespace helm {

bool X11ReduceMotion::kdeReduced(const std::string& kwinrc) {
    QSettings file(QString::fromStdString(kwinrc), QSettings::IniFormat);
    bool ok = false;
    const double factor = file.value("KDE/AnimationDurationFactor").toDouble(&ok);
    return ok && factor == 0;
}

bool X11ReduceMotion::reduced() {
    if (DesktopMotion::reduced()) {
        return true;
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return !config.isEmpty() && kdeReduced((config + "/kwinrc").toStdString());
}

} // namespace helm
