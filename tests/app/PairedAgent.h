#pragma once
// A PC agent paired with a launched application's hub as a user would pair it, then logged in
// on its control link; nothing when a step fails within its bounded wait.
#include "app/App.h"
#include "link/Hub.h"
#include "support/FakeAgent.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace helm::test {

// The secret the PC was given. Each pairing has a code of its own, as a code pairs one PC.
inline std::optional<std::string> pairedSecret(App& app, const std::string& name) {
    static int pairings = 0;
    char code[16];
    std::snprintf(code, sizeof code, "%06d", 200000 + pairings++);
    app.hub().setPairCode(code);
    app.hub().names();
    fake::FakeAgent pairer(name);
    if (!pairer.connect(app.hub().listeningPort()) || pairer.pairStart(code) != "confirm")
        return std::nullopt;
    app.hub().confirmPairing(true);
    auto paired = pairer.pairFinish(code);
    return paired ? std::optional(paired->secret) : std::nullopt;
}

inline std::unique_ptr<fake::FakeAgent> pairedAgent(App& app, const std::string& name) {
    auto secret = pairedSecret(app, name);
    auto pc = std::make_unique<fake::FakeAgent>(name);
    if (!secret || !pc->connect(app.hub().listeningPort()) || !pc->login(*secret))
        return nullptr;
    QElapsedTimer clock;
    clock.start();
    while (app.connected.count(name) == 0 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return app.connected.count(name) ? std::move(pc) : nullptr;
}

} // namespace helm::test
