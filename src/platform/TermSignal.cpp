#include "platform/TermSignal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <utility>

namespace helm {

namespace {

int pipeFds[2] = {-1, -1};

void onSignal(int) {
    int saved = errno;
    char byte = 1;
    // Nonblocking: when the pipe is full a wake-up is already pending.
    [[maybe_unused]] auto n = write(pipeFds[1], &byte, 1);
    errno = saved;
}

} // namespace

TermSignal::TermSignal(std::function<void()> onTerm) : onTerm_(std::move(onTerm)) {
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipeFds[0] = pipeFds[1] = -1;
        return;
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (sigaction(SIGTERM, &action, nullptr) != 0) {
        close(pipeFds[0]);
        close(pipeFds[1]);
        pipeFds[0] = pipeFds[1] = -1;
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(pipeFds[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        char bytes[64];
        while (read(pipeFds[0], bytes, sizeof bytes) > 0) {
        }
        if (onTerm_) {
            onTerm_();
        }
    });
}

TermSignal::~TermSignal() {
    if (notifier_ == nullptr) {
        return;
    }
    notifier_.reset();
    signal(SIGTERM, SIG_DFL);
    close(pipeFds[0]);
    close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

} // namespace helm
