#pragma once

#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace helm {

// SIGINT, SIGHUP and SIGTERM, which all ask the program to end, handled alike from the first
// line of main to its last. Until a TermSignal exists they end the process at once, as nothing
// needs undoing yet; while one exists the signal handler only writes the signal's number into
// a pipe, and the event loop reads it and calls onTerm, where the quit sequence may run. A
// signal that comes before the loop runs waits in the pipe. A signal the process was started
// with ignored (nohup, a background job) stays ignored.
class TermSignal {
public:
    // The first thing main does: the pipe and the handler. False when either could not be set
    // up; the signals then keep their default action.
    static bool install();

    // Needs install() and a QCoreApplication; only one exists at a time.
    explicit TermSignal(std::function<void(int signal)> onTerm);
    // The signals end the process at once again.
    ~TermSignal();

    TermSignal(const TermSignal&) = delete;
    TermSignal& operator=(const TermSignal&) = delete;

    // False when install() failed: the signals then keep their default action.
    bool ok() const { return notifier_ != nullptr; }

    // "SIGINT", "SIGHUP" or "SIGTERM".
    static const char* name(int signal);

private:
    std::function<void(int)> onTerm_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace helm
