#include "platform/TermSignal.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <utility>

namespace helm {

namespace {

constexpr int handled[] = {SIGINT, SIGHUP, SIGTERM};

int pipeFds[2] = {-1, -1};
// Set while a TermSignal exists: the event loop takes the signals then.
std::atomic<bool> deferred{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void onSignal(int signal) {
    if (!deferred.load()) {
        // The default action, as if no handler were there: the signal is blocked while its
        // handler runs and ends the process as the handler returns.
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    const int saved = errno;
    const char byte = static_cast<char>(signal);
    // Nonblocking: when the pipe is full a wake-up is already pending.
    [[maybe_unused]] auto n = write(pipeFds[1], &byte, 1);
    errno = saved;
}

} // namespace

bool TermSignal::install() {
    if (pipeFds[0] >= 0) {
        return true;
    }
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipeFds[0] = pipeFds[1] = -1;
        return false;
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (int s : handled) {
        sigaddset(&action.sa_mask, s); // one handler at a time, whichever signal came
    }
    action.sa_flags = SA_RESTART;
    bool ok = true;
    for (int s : handled) {
        struct sigaction before = {};
        if (sigaction(s, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) {
            continue; // whoever started us wants it ignored
        }
        ok = sigaction(s, &action, nullptr) == 0 && ok;
    }
    return ok;
}

TermSignal::TermSignal(std::function<void(int)> onTerm) : onTerm_(std::move(onTerm)) {
    if (pipeFds[0] < 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(pipeFds[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
        char bytes[64];
        int last = 0;
        for (ssize_t n; (n = read(pipeFds[0], bytes, sizeof bytes)) > 0;) {
            last = static_cast<unsigned char>(bytes[n - 1]);
        }
        if (last != 0 && onTerm_) {
            onTerm_(last);
        }
    });
    deferred.store(true);
}

TermSignal::~TermSignal() {
    deferred.store(false);
    notifier_.reset();
}

const char* TermSignal::name(int signal) {
    switch (signal) {
    case SIGINT:
        return "SIGINT";
    case SIGHUP:
        return "SIGHUP";
    case SIGTERM:
        return "SIGTERM";
    default:
        return "signal";
    }
}

} // namespace helm
