#include "platform/linux/OneCopy.h"

#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace helm {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::size_t folderRoom = 48; // so the socket's path stays inside sockaddr_un
constexpr qint64 longestLine = 64;
constexpr milliseconds silentClient{5000};
constexpr std::size_t mostAsking = 8;

bool ownFolder(const std::string& path, bool privateToo) {
    struct stat st = {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
           (!privateToo || (st.st_mode & 077) == 0);
}

// The display as a file name: ":0" and ":0.0" are one display, a slash would be a folder.
std::string displayKey(const std::string& display) {
    std::string key = display.empty() ? std::string("none") : display;
    if (std::size_t colon = key.rfind(':'); colon != std::string::npos) {
        if (std::size_t dot = key.find('.', colon); dot != std::string::npos) {
            key.erase(dot);
        }
    }
    for (char& c : key) {
        if (c == '/' || static_cast<unsigned char>(c) < 0x20) {
            c = '_';
        }
    }
    return key.substr(0, 32);
}

milliseconds left(Clock::time_point deadline) {
    return std::max(milliseconds(0),
                    std::chrono::duration_cast<milliseconds>(deadline - Clock::now()));
}

} // namespace

OneCopy::OneCopy(std::string folder, const std::string& display) {
    const std::string base =
        folder + "/helmvantor-" + std::to_string(getuid()) + "-" + displayKey(display);
    lockPath_ = base + ".lock";
    socketPath_ = base + ".socket";
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] { accept(); });
}

OneCopy::~OneCopy() {
    server_.close(); // removes the socket file while the lock still says it is ours
    if (fd_ >= 0) {
        close(fd_);
    }
}

std::optional<std::string> OneCopy::folder(std::string& problem) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime != nullptr && runtime[0] == '/' && std::strlen(runtime) < folderRoom &&
        ownFolder(runtime, false)) {
        return std::string(runtime);
    }
    const std::string own = "/tmp/helmvantor-" + std::to_string(getuid());
    if (mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) {
        problem = own + ": " + std::strerror(errno);
        return std::nullopt;
    }
    if (!ownFolder(own, true)) {
        problem = own + " is not a folder of this user's alone";
        return std::nullopt;
    }
    return own;
}

OneCopy::Claim OneCopy::claim(milliseconds answerWait, milliseconds lockWait) {
    fd_ = open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        problem_ = lockPath_ + ": " + std::strerror(errno);
        return Claim::unavailable;
    }
    const Clock::time_point lockDeadline = Clock::now() + lockWait;
    while (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            problem_ = lockPath_ + ": " + std::strerror(errno);
            close(fd_);
            fd_ = -1;
            return Claim::unavailable;
        }
        if (Clock::now() >= lockDeadline) {
            char text[24] = {};
            if (pread(fd_, text, sizeof text - 1, 0) > 0) {
                char* end = nullptr;
                const long pid = std::strtol(text, &end, 10);
                if (pid > 0 && end != text) {
                    holder_ = pid;
                }
            }
            close(fd_);
            fd_ = -1;
            return ask(answerWait);
        }
        std::this_thread::sleep_for(milliseconds(50));
    }
    // Ours: the next copy may read who holds it.
    const std::string pid = std::to_string(getpid()) + "\n";
    if (ftruncate(fd_, 0) != 0 || pwrite(fd_, pid.data(), pid.size(), 0) < 0) {
        problem_ = lockPath_ + ": " + std::strerror(errno); // the lock holds all the same
    }
    listen();
    return Claim::first;
}

void OneCopy::listen() {
    // A socket file left by a copy that crashed; no other copy can be using it now.
    QLocalServer::removeServer(QString::fromStdString(socketPath_));
    if (!server_.listen(QString::fromStdString(socketPath_))) {
        problem_ = socketPath_ + ": " + server_.errorString().toStdString();
    }
}

OneCopy::Claim OneCopy::ask(milliseconds wait) {
    const Clock::time_point deadline = Clock::now() + wait;
    QLocalSocket socket;
    // The holder may be between taking the lock and listening: try again until the deadline.
    for (;;) {
        socket.connectToServer(QString::fromStdString(socketPath_));
        if (socket.waitForConnected(static_cast<int>(left(deadline).count()))) {
            break;
        }
        socket.abort();
        if (left(deadline).count() == 0) {
            return Claim::silent;
        }
        std::this_thread::sleep_for(std::min(milliseconds(50), left(deadline)));
    }
    socket.write("show\n");
    while (!socket.canReadLine()) {
        if (left(deadline).count() == 0 ||
            !socket.waitForReadyRead(static_cast<int>(left(deadline).count()))) {
            return Claim::silent;
        }
    }
    const QByteArray line = socket.readLine(longestLine).trimmed();
    if (!line.startsWith("shown ")) {
        return Claim::silent;
    }
    shown_ = line.mid(6).toStdString();
    return Claim::shown;
}

void OneCopy::accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (waiting_.size() >= mostAsking) {
            socket->abort();
            continue;
        }
        waiting_.push_back(socket);
        QObject::connect(socket, &QObject::destroyed, &server_,
                         [this, socket] { std::erase(waiting_, socket); });
        QObject::connect(socket, &QLocalSocket::readyRead, socket,
                         [this, socket] { answer(socket); });
        // One that connects and says nothing holds no place for long.
        QTimer::singleShot(silentClient, socket, [socket] { socket->abort(); });
    }
}

void OneCopy::answer(QLocalSocket* socket) {
    if (!onShow_) {
        return; // answered once setOnShow comes
    }
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > longestLine) {
            socket->abort();
        }
        return;
    }
    if (socket->readLine(longestLine).trimmed() != "show") {
        socket->abort();
        return;
    }
    const std::string what = onShow_();
    socket->write(QByteArray::fromStdString("shown " + what + "\n"));
    socket->disconnectFromServer();
}

void OneCopy::setOnShow(std::function<std::string()> onShow) {
    onShow_ = std::move(onShow);
    for (QPointer<QLocalSocket> socket :
         std::vector<QPointer<QLocalSocket>>(waiting_.begin(), waiting_.end())) {
        if (socket) {
            answer(socket);
        }
    }
}

} // namespace helm
