#pragma once

#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace helm {

// Turns SIGTERM into a call on the main event loop. The signal handler only writes one byte
// into a pipe; the event loop notices the byte and calls onTerm, where anything may be done.
// Only one watcher exists per process.
class TermSignal {
public:
    explicit TermSignal(std::function<void()> onTerm);
    ~TermSignal();

    TermSignal(const TermSignal&) = delete;
    TermSignal& operator=(const TermSignal&) = delete;

    // False when the pipe or the handler could not be set up; SIGTERM then keeps its
    // default action.
    bool ok() const { return notifier_ != nullptr; }

private:
    std::function<void()> onTerm_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace helm
