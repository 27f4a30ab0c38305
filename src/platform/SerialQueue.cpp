#include "platform/SerialQueue.h"

#include <QMetaObject>

#include <utility>

namespace helm {

SerialQueue::SerialQueue(const std::string& name) : context_(std::make_unique<QObject>()) {
    thread_.setObjectName(QString::fromStdString(name));
    context_->moveToThread(&thread_);
    thread_.start();
}

SerialQueue::~SerialQueue() {
    // Queued work is delivered before the quit request, which is queued after it.
    QMetaObject::invokeMethod(
        context_.get(), [this] { thread_.quit(); }, Qt::QueuedConnection);
    thread_.wait();
    // The context belongs to a stopped thread now; deleting it from here is safe.
    context_.reset();
}

void SerialQueue::post(std::function<void()> fn) {
    QMetaObject::invokeMethod(context_.get(), std::move(fn), Qt::QueuedConnection);
}

void SerialQueue::sync(const std::function<void()>& fn) {
    if (isCurrent()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(context_.get(), fn, Qt::BlockingQueuedConnection);
}

bool SerialQueue::isCurrent() const {
    return QThread::currentThread() == &thread_;
}

} // namespace helm
