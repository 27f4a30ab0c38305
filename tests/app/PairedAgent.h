#pragma once
// A PC agent paired with a launched application's hub as a user would pair it, then logged in
// on its control link; nothing when a step fails within its bounded wait.
#include "app/App.h"
#include "link/Hub.h"
#include "support/FakeAgent.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <memory>
#include <string>

namespace helm::test {

inline std::unique_ptr<fake::FakeAgent> pairedAgent(App& app, const std::string& name) {
    const std::uint16_t port = app.hub().listeningPort();
    app.hub().setPairCode("123456");
    app.hub().names();
    fake::FakeAgent pairer(name);
    if (!pairer.connect(port) || pairer.pairStart("123456") != "confirm")
        return nullptr;
    app.hub().confirmPairing(true);
    auto paired = pairer.pairFinish("123456");
    auto pc = std::make_unique<fake::FakeAgent>(name);
    if (!paired || !pc->connect(port) || !pc->login(paired->secret))
        return nullptr;
    QElapsedTimer clock;
    clock.start();
    while (app.connected.count(name) == 0 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return app.connected.count(name) ? std::move(pc) : nullptr;
}

} // namespace helm::test
