#pragma once

#include <optional>
#include <string>
#include <utility>

namespace helm {

// Where the link's secrets live between runs: the desktop's secret service, or memory in tests.
// Items are text values under an account name of this program's one service.
class SecretStore {
public:
    enum class Status { ok, notFound, failed };

    struct Read {
        Status status = Status::failed;
        std::string value;   // when ok
        std::string problem; // when failed: locked, refused, no answer, no service…
    };

    struct Outcome {
        Outcome(bool done = false, std::string why = {}, std::string words = {})
            : ok(done), problem(std::move(why)), reason(std::move(words)) {}
        bool ok;
        std::string problem;
        std::string reason; // the problem in the user's words, where the store knows them
    };

    virtual ~SecretStore() = default;

    virtual Read read(const std::string& account) = 0;
    // Creates the item or replaces its value.
    virtual Outcome write(const std::string& account, const std::string& value) = 0;
    // Deleting an item that does not exist succeeds.
    virtual Outcome remove(const std::string& account) = 0;
    // The file the secrets are kept in, where no keyring holds them; callable from any thread.
    virtual std::optional<std::string> keptIn() const { return std::nullopt; }
    // From any thread, at quit: a call waiting for a keyring's answer fails now, and so does
    // every later call that would wait for one. Stores that never wait have nothing to end.
    virtual void stop() {}
};

} // namespace helm
