// The handshake of a new connection and the dispatch of lines from logged-in links.
#include "link/Base64.h"
#include "link/Hello.h"
#include "link/Hub.h"
#include "link/HubConn.h"
#include "link/PivmorCrypto.h"
#include "link/Wire.h"

#include <QTcpSocket>

namespace helm {

void Hub::hello(HubConn& c, const std::string& line) {
    auto h = Hello::parse(line);
    std::optional<Bytes> peer;
    std::optional<Bytes> shared;
    if (h && Wire::isValidPCName(h->name))
        peer = base64Decode(h->keyText);
    if (peer)
        shared = c.priv.agree(*peer);
    if (!shared) {
        logAs(LogSource::noise, "", "bad hello");
        return;
    }
    const std::string& name = h->name;
    std::string t = PivmorCrypto::transcript(c.nonce, h->nonce, c.keyText, h->keyText, h->role);
    std::string sharedText(asText(*shared));
    if (h->pairing) {
        c.role = HubConn::Role::done;
        pair(name, h->proof, t, sharedText, c.id);
        return;
    }
    auto secret = keys_.secret(name);
    bool proven =
        secret && PivmorCrypto::same(PivmorCrypto::hmac(secret->key, "agent|" + t), h->proof);
    bool legacy = secret && secret->legacy;
    std::string key = secret ? secret->key : std::string();
    if (!proven) {
        // The agent may have stored the secret of a "rekey" whose "rekeyed" was lost with its
        // link; that secret is its own now.
        auto r = keys_.rekeying.find(name);
        if (r != keys_.rekeying.end() && !rekeyStoring_.contains(name) &&
            PivmorCrypto::same(PivmorCrypto::hmac(r->second, "agent|" + t), h->proof)) {
            key = r->second;
            keys_.set(name, key);
            proven = true;
            legacy = false;
            logAs(LogSource::event, name, name + " now has its own key");
            toMain([this, keys = keys_] {
                if (onKeys)
                    onKeys(keys);
            });
        }
    }
    if (!secret && !proven) {
        logAs(LogSource::noise, name, "agent " + name + " isn't paired (or was forgotten)");
        return;
    }
    if (!proven) {
        logAs(LogSource::noise, name, "agent " + name + " failed the secret check");
        return;
    }
    auto lk = PivmorCrypto::keys(sharedText, key, t);
    auto link = std::make_shared<Link>(c.id, Sealer(lk.hubToAgent), Sealer(lk.agentToHub));
    write(c.id, "ok " + PivmorCrypto::hmac(key, "hub|" + t) + "\n", nullptr);
    c.name = name;
    c.link = link;
    if (h->role == "data") {
        if (auto old = data_.find(name); old != data_.end() && old->second->conn != c.id) {
            cancel(old->second->conn);
            abandon(*old->second);
        }
        data_[name] = link;
        c.role = HubConn::Role::data;
        logAs(LogSource::event, name, "agent " + name + " data link up");
        return;
    }
    if (auto old = ctl_.find(name); old != ctl_.end() && old->second->conn != c.id) {
        cancel(old->second->conn); // replaced: no drop, no onLost
        abandon(*old->second);
    }
    ctl_[name] = link;
    c.role = HubConn::Role::ctl;
    sendOn(link, name, false, Wire::askDisplays, nullptr);
    if (legacy)
        rekey(name);
    logAs(LogSource::event, name, "agent " + name + " connected");
    announce();
}

void Hub::rekey(const std::string& name) {
    const auto link = ctl_.find(name);
    if (link == ctl_.end() || rekeyStoring_.contains(name))
        return; // the store under way sends it once it has answered
    if (auto stored = keys_.rekeying.find(name); stored != keys_.rekeying.end()) {
        sendOn(link->second, name, false, "rekey " + stored->second, nullptr);
        return;
    }
    const std::string fresh = PCKeys::fresh();
    keys_.rekeying[name] = fresh; // in every keys handed on from now
    if (!keepKeys) {
        sendOn(link->second, name, false, "rekey " + fresh, nullptr);
        return;
    }
    // A PC that took a secret the next run would not know could never log in again: the
    // secret is stored first, and until then the PC goes on with the older one.
    rekeyStoring_.insert(name);
    toMain([this, keys = keys_, name, fresh] {
        keepKeys(keys, [this, life = std::weak_ptr<char>(life_), name, fresh](bool stored) {
            if (!life.expired())
                onQueue([this, name, fresh, stored] { rekeyStored(name, fresh, stored); });
        });
    });
}

void Hub::rekeyStored(const std::string& name, const std::string& fresh, bool stored) {
    rekeyStoring_.erase(name);
    auto it = keys_.rekeying.find(name);
    if (it == keys_.rekeying.end() || it->second != fresh)
        return; // forgotten, or the keys replaced, meanwhile
    if (!stored) {
        keys_.rekeying.erase(it);
        logAs(LogSource::event, name,
              name + " keeps the older shared secret: its own key couldn't be stored");
        return;
    }
    rekey(name); // to its control link, if it still has one; else at its next login
}

void Hub::deliverClip(const std::string& name, Wire::ClipReply reply) {
    toMain([this, name, number = reply.number, c = std::move(reply.clip)]() mutable {
        if (onClip)
            onClip(name, number, std::move(c));
    });
}

void Hub::handle(const std::string& line, const std::string& name) {
    const auto l = ctl_.find(name);
    if (l != ctl_.end())
        l->second->lastSeen = Clock::now();
    if (line == "p")
        return;
    // A PC is connected only with its control link: input over a data link alone would let it
    // take the desk from the real source, and nothing would ever hand it back.
    const bool input = line == "a" || line == "cap off" || line.rfind("L ", 0) == 0 ||
                       line == "e L" || line == "e R";
    if (input && l == ctl_.end())
        return;
    if (line == "rekeyed") {
        auto r = keys_.rekeying.find(name);
        if (r == keys_.rekeying.end() || rekeyStoring_.contains(name))
            return;
        keys_.set(name, std::string(r->second));
        logAs(LogSource::event, name, name + " now has its own key");
        toMain([this, keys = keys_] {
            if (onKeys)
                onKeys(keys);
        });
        return;
    }
    if (line == "a") {
        toMain([this, name] {
            if (onActivity)
                onActivity(name);
        });
        return;
    }
    if (line == "cap off") {
        toMain([this, name] {
            if (onCapOff)
                onCapOff(name);
        });
        return;
    }
    if (fastMove) {
        if (auto move = Wire::fastMove(line); move && fastMove(name, move->first, move->second))
            return;
    }
    if (line.rfind("L ", 0) == 0) {
        toMain([this, name, rest = line.substr(2)] {
            if (onRemoteInput)
                onRemoteInput(name, rest);
        });
        return;
    }
    if (line == "e L" || line == "e R") {
        toMain([this, name, right = line == "e R"] {
            if (onEdge)
                onEdge(name, right);
        });
        return;
    }
    std::string problem;
    if (auto displays = Wire::displaysReply(line, &problem)) {
        if (!problem.empty())
            logAs(LogSource::pc, name, name + ": " + problem); // some displays were left out
        toMain([this, name, d = *displays] {
            if (onDisplays)
                onDisplays(name, d);
        });
        return;
    }
    if (!problem.empty()) {
        logAs(LogSource::pc, name, name + ": " + problem);
        return;
    }
    if (auto clip = Wire::clipReply(line))
        deliverClip(name, std::move(*clip));
}

} // namespace helm
