#pragma once

#include "desk/Json.h"
#include "platform/DefaultsStorage.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace helm {

// The user defaults: typed JSON values under string keys, kept in memory and written through
// to storage after every change. Without storage (tests, simulation) it lives in memory only.
// Readers ask for a type and get nothing when the stored value has another type, so a value
// of the wrong type reads as the caller's default.
class Defaults {
public:
    using Report = std::function<void(const std::string&)>;

    // In memory only.
    Defaults();
    // Reads the stored document at once. A document that cannot be understood is set aside
    // and the store starts empty; one that cannot be read at all is left alone and nothing is
    // written back this run. Problems go to report as one short line each.
    Defaults(std::unique_ptr<DefaultsStorage> storage, Report report);

    std::optional<json::Json> value(const std::string& key) const;
    // Also a whole number stored as a double (2.0).
    std::optional<long long> integer(const std::string& key) const;
    std::optional<bool> boolean(const std::string& key) const;
    std::optional<double> number(const std::string& key) const;
    std::optional<std::string> string(const std::string& key) const;
    std::optional<std::vector<std::string>> strings(const std::string& key) const;
    std::vector<std::string> keys() const;

    // Stores value under key and writes it into the stored document, read afresh so that keys
    // another running copy wrote meanwhile are kept (and taken up here). A value holding a
    // number that is not finite, or text that is not UTF-8, is refused (nothing changes) and
    // answers false, with the reason in `refused` when given.
    bool set(const std::string& key, const json::Json& value, std::string* refused = nullptr);
    void remove(const std::string& key);

private:
    mutable std::mutex mutex_;
    json::Json values_ = json::Json::object();
    std::unique_ptr<DefaultsStorage> storage_;
    bool writable_ = true;
    Report report_;

    void writeLocked(const std::function<void(json::Json&)>& edit);
    void reportProblem(const std::string& line) const;
};

} // namespace helm
