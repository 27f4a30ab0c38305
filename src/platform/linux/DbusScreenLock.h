#pragma once

#include "platform/ScreenLock.h"

#include <QObject>

namespace helm {

// The session's lock as the desktop announces it: the screen saver's ActiveChanged(true) on the
// session bus, and logind's Lock for this login session on the system bus. Desktops send one,
// the other or both; a lock reported twice in a row is reported once.
class DbusScreenLock : public QObject, public ScreenLock {
    Q_OBJECT
public:
    void start() override;

private slots:
    void activeChanged(bool active);
    void lockRequested();
    void unlockRequested();

private:
    bool isLocked_ = false;
};

} // namespace helm
