#include "link/SecretKeeper.h"

#include "platform/OnMain.h"

#include <openssl/crypto.h>

#include <future>
#include <utility>

namespace helm {

SecretKeeper::SecretKeeper(SecretStore& store, KeyValueStore& defaults, Secret::Options options,
                           Secret::Log log)
    : store_(store), secret_(store, defaults, options, std::move(log)),
      simulation_(options.simulation) {
    secret_.tell = [this, life = std::weak_ptr<char>(life_)](const std::string& sentence) {
        onMain([this, life, sentence] {
            if (!life.expired() && onProblem) {
                onProblem(sentence);
            }
        });
    };
}

SecretKeeper::~SecretKeeper() {
    store_.stop();
    // OpenSSL keeps random-generator state per thread; this one ends with the keeper.
    queue_.post([] { OPENSSL_thread_stop(); });
}

void SecretKeeper::run(std::function<bool()> job, std::function<void(bool)> done) {
    if (simulation_) {
        const bool ok = job();
        if (done) {
            done(ok);
        }
        return;
    }
    queue_.post([job = std::move(job), done = std::move(done),
                 life = std::weak_ptr<char>(life_)]() mutable {
        const bool ok = job();
        if (done) {
            onMain([life, done = std::move(done), ok] {
                if (!life.expired()) {
                    done(ok);
                }
            });
        }
    });
}

void SecretKeeper::loadKeys(std::vector<std::string> knownPCs, std::function<void(PCKeys)> done) {
    auto keys = std::make_shared<PCKeys>();
    run(
        [this, keys, knownPCs = std::move(knownPCs)] {
            *keys = secret_.loadKeys(knownPCs);
            return true;
        },
        [keys, done = std::move(done)](bool) { done(std::move(*keys)); });
}

void SecretKeeper::saveKeys(PCKeys keys, std::function<void(bool)> done) {
    run([this, keys = std::move(keys)] { return secret_.saveKeys(keys); }, std::move(done));
}

void SecretKeeper::startOver(std::function<void(bool)> done) {
    run(
        [this] {
            secret_.rotate();
            return secret_.saveKeys(PCKeys{});
        },
        std::move(done));
}

std::string SecretKeeper::hubId() {
    return secret_.hubId(); // the defaults only, which belong to the main thread
}

void SecretKeeper::finish(std::chrono::milliseconds grace) {
    auto reached = std::make_shared<std::promise<void>>();
    std::future<void> asked = reached->get_future();
    queue_.post([reached] { reached->set_value(); });
    asked.wait_for(grace);
    store_.stop();
}

} // namespace helm
