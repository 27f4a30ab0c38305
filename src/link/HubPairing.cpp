// Pairing a new PC: the code, the check code the user confirms, and the sealed secret.
#include "link/Hub.h"
#include "link/HubConn.h"
#include "link/PivmorCrypto.h"

#include <QTcpSocket>
#include <QTimer>
#include <cstdio>

namespace helm {

void Hub::setPairCode(const std::optional<std::string>& code) {
    onQueue([this, code] {
        pairFailures_ = 0;
        if (code && spentCodes_.contains(*code)) {
            // A code pairs one PC, also when it is offered again by a page that still shows it.
            pairCode_.reset();
            log("pairing code already used: pairing stays closed");
            return;
        }
        pairCode_ = code;
    });
}

void Hub::confirmPairing(bool yes) {
    onQueue([this, yes] { finishPairing(yes); });
}

void Hub::reply(std::uint64_t conn, const std::string& text, Done then) {
    write(conn, text + "\n", [this, conn, then = std::move(then)](bool written) {
        closeGently(conn);
        if (then)
            then(written);
    });
}

void Hub::pair(const std::string& name, const std::string& proof, const std::string& transcript,
               const std::string& shared, std::uint64_t conn) {
    if (!pairCode_) {
        logAs(LogSource::noise, name, "pair from " + name + ": no setup open");
        reply(conn, "no closed");
        return;
    }
    if (!PivmorCrypto::same(PivmorCrypto::hmac(*pairCode_, "pair|" + transcript), proof)) {
        ++pairFailures_;
        char count[32];
        std::snprintf(count, sizeof count, "%d", pairFailures_);
        logAs(LogSource::event, name, "pair from " + name + ": wrong code (" + count + ")");
        if (pairFailures_ >= 5) {
            spentCodes_.insert(*pairCode_); // guessed at too often to be offered again
            pairCode_.reset();
            logAs(LogSource::event, name, "pairing closed after 5 wrong codes");
            toMain([this] {
                if (onProblem)
                    onProblem("Pairing stopped after 5 wrong codes. Press New code to try again.");
            });
        }
        reply(conn, "no wrong");
        return;
    }
    std::string code = *pairCode_;
    spentCodes_.insert(code);
    pairCode_.reset(); // the code works once
    if (waiting_)
        reply(waiting_->conn, "no rejected");
    waiting_ = Waiting{name, conn, transcript, shared, code};
    write(conn, "confirm\n", nullptr);
    std::string check = PivmorCrypto::checkCode(transcript);
    logAs(LogSource::event, name, "pair from " + name + ": waiting for the check code " + check);
    toMain([this, name, check] {
        if (onConfirm)
            onConfirm(name, check);
    });
    QTimer::singleShot(opt_.pairWait, anchor_, [this, conn] {
        if (!stopped_ && waiting_ && waiting_->conn == conn)
            finishPairing(false);
    });
}

void Hub::pairLeft(const std::string& name) {
    toMain([this, name] {
        if (onPairLeft)
            onPairLeft(name);
    });
}

void Hub::finishPairing(bool yes) {
    if (!waiting_)
        return;
    Waiting w = std::move(*waiting_);
    waiting_.reset();
    toMain([this, name = w.name] {
        if (onConfirm)
            onConfirm(name, std::nullopt);
    });
    if (!yes) {
        logAs(LogSource::event, w.name, "pair from " + w.name + ": check code not confirmed");
        reply(w.conn, "no rejected");
        return;
    }
    std::string fresh = PCKeys::fresh();
    if (!keepKeys) {
        sendPaired(std::move(w), fresh, true);
        return;
    }
    // The key is stored before the PC hears of it: a pairing the next run would refuse is no
    // pairing. The store is the main thread's; the answer comes back here.
    PCKeys next = keys_;
    next.set(w.name, fresh);
    toMain([this, next, w = std::move(w), fresh]() mutable {
        // The answer comes on the main thread too, where the hub's life can be asked.
        keepKeys(next, [this, life = std::weak_ptr<char>(life_), w = std::move(w),
                        fresh](bool stored) mutable {
            if (!life.expired()) {
                onQueue([this, w = std::move(w), fresh, stored]() mutable {
                    sendPaired(std::move(w), fresh, stored);
                });
            }
        });
    });
}

void Hub::sendPaired(Waiting w, const std::string& fresh, bool stored) {
    auto it = conns_.find(w.conn);
    if (it == conns_.end() || it->second->sock->state() != QAbstractSocket::ConnectedState) {
        // The PC cannot receive its secret any more; storing one would pair nothing.
        logAs(LogSource::event, w.name,
              "pair from " + w.name + ": the connection closed before the answer, not paired");
        if (stored && keepKeys)
            toMain([this, keys = keys_] { keepKeys(keys, nullptr); });
        pairLeft(w.name);
        return;
    }
    if (!stored) {
        logAs(LogSource::event, w.name,
              "pair from " + w.name + ": its key couldn't be stored, not paired");
        reply(w.conn, "no rejected");
        toMain([this] {
            if (onProblem)
                onProblem("The PC's key couldn't be saved, so it isn't paired. The log says why.");
        });
        return;
    }
    auto keys = PivmorCrypto::keys(w.shared, w.code, w.transcript);
    Sealer sealer(keys.hubToAgent);
    std::string line = "paired " + PivmorCrypto::hmac(w.code, "paired|" + w.transcript) + " " +
                       sealer.seal(fresh) + " " + hubId;
    reply(w.conn, line, [this, name = w.name, fresh](bool written) {
        if (stopped_)
            return;
        if (!written) {
            logAs(LogSource::event, name,
                  "pair from " + name + ": the answer could not be sent, not paired");
            if (keepKeys)
                toMain([this, keys = keys_] { keepKeys(keys, nullptr); }); // takes it back
            pairLeft(name);
            return;
        }
        keys_.set(name, fresh);
        drop(name, "paired again");
        logAs(LogSource::event, name, "paired " + name);
        toMain([this, keys = keys_] {
            if (onKeys)
                onKeys(keys);
        });
        toMain([this, name] {
            if (onPaired)
                onPaired(name);
        });
    });
}

} // namespace helm
