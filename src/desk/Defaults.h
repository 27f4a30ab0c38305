#pragma once

#include "desk/Json.h"
#include "platform/DefaultsStorage.h"

#include <functional>
#include <map>
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

    // While the user drags a screen or slides a control, changes come many times a second.
    // Live, they still take effect in memory at once, but are stored together: by `flush`,
    // which onPending asks for once per batch, and at once when live ends. Changes that could
    // not be stored wait for the next write.
    void setLive(bool on);
    bool live() const;
    // Stores the changes held back, if any, in one write.
    void flush();
    // The changes made while one lives are stored together as it ends (unless live).
    class Batch {
    public:
        explicit Batch(Defaults& d);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Defaults& d_;
    };
    // Called, outside any lock, when a live change is held back and no flush was asked for
    // since the last one; the owner of the event loop arranges one soon.
    std::function<void()> onPending;
    // Called, outside any lock, before held-back changes are stored by `flush` or the end of
    // live: the owner sets what it held back itself.
    std::function<void()> beforeStore;
    // Called, outside any lock, with the reason in the user's words ("the disk is full") when
    // changes could not be stored; once, and again only after a store that worked.
    std::function<void(const std::string& reason)> onUnsaved;

    // Stores what is held back.
    ~Defaults();
    Defaults(const Defaults&) = delete;
    Defaults& operator=(const Defaults&) = delete;

private:
    using Pending = std::map<std::string, std::optional<json::Json>>; // nothing: removed
    mutable std::mutex mutex_;
    json::Json values_ = json::Json::object();
    std::unique_ptr<DefaultsStorage> storage_;
    bool writable_ = true;
    Report report_;
    Pending pending_; // changes in memory and not in storage yet
    bool live_ = false;
    int batches_ = 0;                   // Batch objects alive
    bool asked_ = false;                // onPending was called since the last store
    bool failing_ = false;              // the last store failed, and onUnsaved heard of it
    std::optional<std::string> untold_; // a failure's reason onUnsaved has still to hear

    void change(const std::function<void(Pending&)>& edit);
    void storeLocked();
    // Passes on the failure the last store left untold; called without the lock.
    void tellUnsaved();
    void reportProblem(const std::string& line) const;
};

} // namespace helm
