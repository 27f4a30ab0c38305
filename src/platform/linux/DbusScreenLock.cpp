#include "platform/linux/DbusScreenLock.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <unistd.h>

namespace helm {

namespace {

const QString login1 = QStringLiteral("org.freedesktop.login1");

} // namespace

void DbusScreenLock::start() {
    QDBusConnection::sessionBus().connect(QString(), QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("ActiveChanged"), this,
                                          SLOT(activeChanged(bool)));
    // This process's login session, so another user's lock is not taken for ours; asked
    // without waiting, as a login manager slow to answer would hold up the main thread.
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage ask = QDBusMessage::createMethodCall(
        login1, QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("GetSessionByPID"));
    ask << static_cast<quint32>(getpid());
    auto* pending = new QDBusPendingCallWatcher(bus.asyncCall(ask), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError()) {
            return;
        }
        const QString session = reply.value().path();
        const QString iface = QStringLiteral("org.freedesktop.login1.Session");
        QDBusConnection system = QDBusConnection::systemBus();
        system.connect(login1, session, iface, QStringLiteral("Lock"), this, SLOT(lockRequested()));
        system.connect(login1, session, iface, QStringLiteral("Unlock"), this,
                       SLOT(unlockRequested()));
    });
}

void DbusScreenLock::activeChanged(bool active) {
    if (active) {
        lockRequested();
    } else {
        unlockRequested();
    }
}

void DbusScreenLock::lockRequested() {
    if (!isLocked_) {
        isLocked_ = true;
        locked();
    }
}

void DbusScreenLock::unlockRequested() {
    isLocked_ = false;
}

} // namespace helm
