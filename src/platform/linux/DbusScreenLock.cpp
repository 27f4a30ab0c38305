#include "platform/linux/DbusScreenLock.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusObjectPath>
#include <QDBusReply>

#include <unistd.h>

namespace helm {

namespace {

const QString login1 = QStringLiteral("org.freedesktop.login1");

// This process's login session object, so another user's lock is not taken for ours.
QString sessionPath() {
    QDBusInterface manager(login1, QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"),
                           QDBusConnection::systemBus());
    manager.setTimeout(1000);
    QDBusReply<QDBusObjectPath> reply =
        manager.call(QStringLiteral("GetSessionByPID"), static_cast<quint32>(getpid()));
    return reply.isValid() ? reply.value().path() : QString();
}

} // namespace

void DbusScreenLock::start() {
    QDBusConnection::sessionBus().connect(QString(), QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("ActiveChanged"), this,
                                          SLOT(activeChanged(bool)));
    const QString session = sessionPath();
    if (!session.isEmpty()) {
        const QString iface = QStringLiteral("org.freedesktop.login1.Session");
        QDBusConnection bus = QDBusConnection::systemBus();
        bus.connect(login1, session, iface, QStringLiteral("Lock"), this, SLOT(lockRequested()));
        bus.connect(login1, session, iface, QStringLiteral("Unlock"), this,
                    SLOT(unlockRequested()));
    }
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
