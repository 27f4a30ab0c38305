#include "platform/DefaultsFile.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/file.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
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

namespace {

// The lock file's descriptor; closing it lets go of the lock.
struct LockFile {
    int fd = -1;
    ~LockFile() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::optional<std::string> DefaultsFile::update(const Change& change) {
    const std::string lockPath = path_ + ".lock";
    if (!QDir().mkpath(QFileInfo(QString::fromStdString(path_)).absolutePath())) {
        return "cannot create the folder of " + path_;
    }
    LockFile lock;
    lock.fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock.fd < 0) {
        return "cannot open " + lockPath + ": " + std::strerror(errno);
    }
    // Another copy holds the lock for one read and one write. One that hangs while holding it
    // must not hang this program too, so the wait is bounded.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (::flock(lock.fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            break; // a file system without locks: write unguarded rather than not at all
        }
        if (std::chrono::steady_clock::now() > until) {
            return lockPath + " is held by another program";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::optional<std::string> text = change(load());
    return text ? save(*text) : std::nullopt;
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
