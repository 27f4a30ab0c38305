#pragma once

#include <QLocalServer>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLocalSocket;

namespace helm {

// One running copy per user and display. The first copy holds a lock on a file in a folder
// only the user can enter for as long as it runs, and listens on a local socket beside it; a
// later copy finds the lock taken and asks the first over the socket to show itself. The lock
// goes with the process however it ends, so a crash leaves nothing that stops the next start;
// the socket file it leaves is replaced by the next holder of the lock.
class OneCopy {
public:
    enum class Claim {
        first,       // the lock is ours: this is the one copy
        shown,       // another copy holds it and showed itself (shown() says what)
        silent,      // another copy holds it but did not answer in time
        unavailable, // the lock could not be tried (problem() says why); run anyway
    };

    // folder: private to the user; display: the X display this copy runs on.
    OneCopy(std::string folder, const std::string& display);
    ~OneCopy();

    OneCopy(const OneCopy&) = delete;
    OneCopy& operator=(const OneCopy&) = delete;

    // $XDG_RUNTIME_DIR when it is the user's own folder, else /tmp/helmvantor-UID made for the
    // purpose; nothing (and the reason in problem) when neither can be used.
    static std::optional<std::string> folder(std::string& problem);

    // Takes the lock or, when another copy holds it, asks that copy to show itself and waits
    // at most answerWait for its answer. lockWait: how long to wait first for a holder that is
    // on its way out (a copy that started this one in its place).
    Claim claim(std::chrono::milliseconds answerWait,
                std::chrono::milliseconds lockWait = std::chrono::milliseconds(0));

    const std::string& problem() const { return problem_; }
    // What the other copy showed ("guide", "settings").
    const std::string& shown() const { return shown_; }
    // The other copy's process id, when it wrote one.
    std::optional<long> holder() const { return holder_; }

    // The first copy's answer to a later one: shows a window and says which. Requests that
    // came before it was set are answered when it is.
    void setOnShow(std::function<std::string()> onShow);

    // The lock file's and the socket's paths.
    const std::string& lockPath() const { return lockPath_; }
    const std::string& socketPath() const { return socketPath_; }

private:
    void listen();
    void accept();
    void answer(QLocalSocket* socket);
    Claim ask(std::chrono::milliseconds wait);

    std::string lockPath_;
    std::string socketPath_;
    int fd_ = -1;
    std::string problem_;
    std::string shown_;
    std::optional<long> holder_;
    QLocalServer server_;
    std::function<std::string()> onShow_;
    std::vector<QLocalSocket*> waiting_;
};

} // namespace helm
