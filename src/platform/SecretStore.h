#pragma once

#include <optional>
#include <string>

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
        bool ok = false;
        std::string problem;
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
