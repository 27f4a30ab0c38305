#pragma once

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>
#include <string>

namespace helm {

// A thread with its own event loop that runs the work given to it one piece at a time, in
// the order it was given. Objects that live on the queue (sockets, timers) are created by
// work running on it, so their events arrive there too.
class SerialQueue {
public:
    explicit SerialQueue(const std::string& name);
    // Finishes the work already posted, then stops the thread.
    ~SerialQueue();

    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    // Runs fn on the queue later; returns at once.
    void post(std::function<void()> fn);
    // Runs fn on the queue and waits for it. Called from the queue itself it runs fn at once,
    // since waiting for itself would never end.
    void sync(const std::function<void()>& fn);
    bool isCurrent() const;

    // The object whose thread is the queue's, for parenting and connections.
    QObject* context() const { return context_.get(); }

private:
    QThread thread_;
    std::unique_ptr<QObject> context_;
};

} // namespace helm
