#include "platform/DefaultsFile.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <utility>

namespace helm {

DefaultsFile::DefaultsFile(std::string path) : path_(std::move(path)) {}

std::string DefaultsFile::standardPath() {
    return paths::configHome() + "/com.pardwell.pivmor/defaults.json";
}

DefaultsStorage::Loaded DefaultsFile::load() {
    QFile file(QString::fromStdString(path_));
    if (!file.exists()) {
        return {Status::absent, {}, {}};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return {Status::failed, {}, file.errorString().toStdString()};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return {Status::failed, {}, file.errorString().toStdString()};
    }
    return {Status::ok, bytes.toStdString(), {}};
}

std::optional<std::string> DefaultsFile::save(const std::string& text) {
    QString path = QString::fromStdString(path_);
    QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        return "cannot create " + folder.toStdString();
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString().toStdString();
    }
    // Settings can name the user's PCs: keep the file private.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QByteArray bytes = QByteArray::fromStdString(text);
    if (file.write(bytes) != bytes.size()) {
        std::string problem = file.errorString().toStdString();
        file.cancelWriting();
        return problem;
    }
    if (!file.commit()) {
        return file.errorString().toStdString();
    }
    return std::nullopt;
}

std::optional<std::string> DefaultsFile::setAside() {
    std::string aside = path_ + ".bad";
    QFile::remove(QString::fromStdString(aside));
    if (!QFile::rename(QString::fromStdString(path_), QString::fromStdString(aside))) {
        return std::nullopt;
    }
    return aside;
}

} // namespace helm
