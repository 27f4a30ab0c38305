#include "platform/x11/X11ReduceMotion.h"

#include "platform/x11/DesktopMotion.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSettings>
#include <QStandardPaths>

namespace helm {

bool X11ReduceMotion::kdeReduced(const std::string& kwinrc) {
    QSettings file(QString::fromStdString(kwinrc), QSettings::IniFormat);
    bool ok = false;
    const double factor = file.value("KDE/AnimationDurationFactor").toDouble(&ok);
    return ok && factor == 0;
}

X11ReduceMotion::X11ReduceMotion() {
    gnome_ = std::make_unique<DesktopMotion>([this] { reduced_ = gnome_->reduced() || kde_; });
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (!config.isEmpty()) {
        kwinrc_ = config + "/kwinrc";
        // The folder too: KDE writes a new file in place of the old one, which ends a watch on
        // the file, and the file may not exist yet.
        watch_ = std::make_unique<QFileSystemWatcher>(QStringList{config});
        QObject::connect(watch_.get(), &QFileSystemWatcher::directoryChanged, watch_.get(),
                         [this] { readKde(); });
        QObject::connect(watch_.get(), &QFileSystemWatcher::fileChanged, watch_.get(),
                         [this] { readKde(); });
    }
    readKde();
}

X11ReduceMotion::~X11ReduceMotion() = default;

void X11ReduceMotion::readKde() {
    if (watch_ && QFileInfo::exists(kwinrc_) && !watch_->files().contains(kwinrc_)) {
        watch_->addPath(kwinrc_);
    }
    kde_ = !kwinrc_.isEmpty() && kdeReduced(kwinrc_.toStdString());
    reduced_ = gnome_->reduced() || kde_;
}

} // namespace helm
