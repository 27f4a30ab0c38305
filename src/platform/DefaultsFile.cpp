#include "platform/DefaultsFile.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/file.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

namespace helm {

DefaultsFile::DefaultsFile(std::string path, std::uint64_t most)
    : path_(std::move(path)), most_(most) {}

std::string DefaultsFile::standardPath() {
    return paths::configHome() + "/com.pardwell.pivmor/defaults.json";
}

DefaultsStorage::Loaded DefaultsFile::load() {
    return wholeFile::read(path_, most_);
}

std::optional<WriteFailure> DefaultsFile::save(const std::string& text) {
    QString folder = QFileInfo(QString::fromStdString(path_)).absolutePath();
    if (!QDir().mkpath(folder)) {
        return WriteFailure{"cannot create " + folder.toStdString(), "its folder can't be made"};
    }
    // Settings can name the user's PCs: keep the file private.
    return wholeFile::write(path_, text, 0600);
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

std::optional<WriteFailure> DefaultsFile::update(const Change& change) {
    const std::string lockPath = path_ + ".lock";
    if (!QDir().mkpath(QFileInfo(QString::fromStdString(path_)).absolutePath())) {
        return WriteFailure{"cannot create the folder of " + path_, "its folder can't be made"};
    }
    // Never truncated or written: the lock is the file's existence and its flock alone.
    LockFile lock;
    lock.fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lock.fd < 0) {
        const int error = errno;
        return WriteFailure{"cannot open " + lockPath + ": " + std::strerror(error),
                            wholeFile::reason(error)};
    }
    // Another copy holds the lock for one read and one write. One that hangs while holding it
    // must not hang this program too, so the wait is bounded.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (::flock(lock.fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            break; // a file system without locks: write unguarded rather than not at all
        }
        if (std::chrono::steady_clock::now() > until) {
            return WriteFailure{lockPath + " is held by another program",
                                "another program keeps it locked"};
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
