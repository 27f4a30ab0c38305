#include "desk/Defaults.h"

#include <cmath>
#include <utility>

namespace helm {

using json::Json;

Defaults::Defaults() = default;

Defaults::Defaults(std::unique_ptr<DefaultsStorage> storage, Report report)
    : storage_(std::move(storage)), report_(std::move(report)) {
    if (!storage_) {
        return;
    }
    DefaultsStorage::Loaded loaded = storage_->load();
    switch (loaded.status) {
    case DefaultsStorage::Status::absent:
        return;
    case DefaultsStorage::Status::failed:
        // Writing now would replace settings we merely failed to read.
        writable_ = false;
        reportProblem("defaults: cannot read (" + loaded.problem +
                      "); changes are kept for this run only");
        return;
    case DefaultsStorage::Status::ok:
        break;
    }
    try {
        Json doc = json::parse(loaded.text);
        if (!doc.is_object()) {
            throw json::DecodeError("not an object");
        }
        values_ = std::move(doc);
    } catch (const json::DecodeError& e) {
        std::optional<std::string> aside = storage_->setAside();
        if (aside) {
            reportProblem(std::string("defaults: unreadable (") + e.what() + "), kept as " +
                          *aside);
        } else {
            writable_ = false;
            reportProblem(std::string("defaults: unreadable (") + e.what() +
                          "); changes are kept for this run only");
        }
    }
}

std::optional<Json> Defaults::value(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return *it;
}

std::optional<long long> Defaults::integer(const std::string& key) const {
    std::optional<Json> v = value(key);
    if (v && v->is_number_float()) {
        // A whole number written as 2.0 is still 2; 2.5 is no integer at all.
        const double d = v->get<double>();
        if (std::trunc(d) != d || d < -9.2e18 || d > 9.2e18) {
            return std::nullopt;
        }
        return static_cast<long long>(d);
    }
    if (!v || !v->is_number_integer()) {
        return std::nullopt;
    }
    try {
        return json::toInt(*v, key.c_str());
    } catch (const json::DecodeError&) {
        return std::nullopt; // an unsigned value beyond the signed range
    }
}

std::optional<bool> Defaults::boolean(const std::string& key) const {
    std::optional<Json> v = value(key);
    if (!v || !v->is_boolean()) {
        return std::nullopt;
    }
    return v->get<bool>();
}

std::optional<double> Defaults::number(const std::string& key) const {
    std::optional<Json> v = value(key);
    if (!v || !v->is_number()) {
        return std::nullopt;
    }
    return v->get<double>();
}

std::optional<std::string> Defaults::string(const std::string& key) const {
    std::optional<Json> v = value(key);
    if (!v || !v->is_string()) {
        return std::nullopt;
    }
    return v->get<std::string>();
}

std::optional<std::vector<std::string>> Defaults::strings(const std::string& key) const {
    std::optional<Json> v = value(key);
    if (!v || !v->is_array()) {
        return std::nullopt;
    }
    std::vector<std::string> out;
    for (const auto& e : *v) {
        if (!e.is_string()) {
            return std::nullopt;
        }
        out.push_back(e.get<std::string>());
    }
    return out;
}

std::vector<std::string> Defaults::keys() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    for (auto it = values_.begin(); it != values_.end(); ++it) {
        out.push_back(it.key());
    }
    return out;
}

bool Defaults::set(const std::string& key, const Json& value, std::string* refused) {
    // Both refusals come before anything changes.
    const char* why = nullptr;
    if (!json::allFinite(value)) {
        why = "a number that is not finite";
    } else {
        try {
            json::dump(value);
        } catch (const json::EncodeError&) {
            why = "text that is not UTF-8";
        }
    }
    if (why) {
        reportProblem("defaults: not stored, " + key + " holds " + why);
        if (refused) {
            *refused = why;
        }
        return false;
    }
    change([&](Pending& pending) {
        values_[key] = value;
        pending[key] = value;
    });
    return true;
}

void Defaults::remove(const std::string& key) {
    change([&](Pending& pending) {
        if (values_.contains(key)) {
            values_.erase(key);
            pending[key] = std::nullopt;
        }
    });
}

void Defaults::change(const std::function<void(Pending&)>& edit) {
    bool ask = false;
    {
        std::lock_guard lock(mutex_);
        edit(pending_);
        if (pending_.empty()) {
            return;
        }
        if (live_) {
            ask = !asked_;
            asked_ = true;
        } else if (batches_ == 0) {
            storeLocked();
        }
    }
    tellUnsaved();
    // Outside the lock: the owner's timer may flush at once.
    if (ask && onPending) {
        onPending();
    }
}

void Defaults::tellUnsaved() {
    std::optional<std::string> reason;
    {
        std::lock_guard lock(mutex_);
        reason = std::exchange(untold_, std::nullopt);
    }
    if (reason && onUnsaved) {
        onUnsaved(*reason);
    }
}

void Defaults::setLive(bool on) {
    if (!on && beforeStore) {
        beforeStore(); // still live: what it sets joins the changes held back
    }
    {
        std::lock_guard lock(mutex_);
        live_ = on;
        if (!on && batches_ == 0 && !pending_.empty()) {
            storeLocked();
        }
    }
    tellUnsaved();
}

Defaults::Batch::Batch(Defaults& d) : d_(d) {
    std::lock_guard lock(d_.mutex_);
    ++d_.batches_;
}

Defaults::Batch::~Batch() {
    {
        std::lock_guard lock(d_.mutex_);
        if (--d_.batches_ == 0 && !d_.live_ && !d_.pending_.empty()) {
            d_.storeLocked();
        }
    }
    d_.tellUnsaved();
}

bool Defaults::live() const {
    std::lock_guard lock(mutex_);
    return live_;
}

void Defaults::flush() {
    if (beforeStore) {
        beforeStore();
    }
    {
        std::lock_guard lock(mutex_);
        if (!pending_.empty()) {
            storeLocked();
        }
    }
    tellUnsaved();
}

Defaults::~Defaults() {
    flush();
}

// Memory holds every change already, so it holds for this run whatever becomes of the file.
// The file is read afresh and given only the changes not stored yet: keys another running copy
// wrote since we started stay, and memory takes them up too. Changes that could not be stored
// wait for the next write.
void Defaults::storeLocked() {
    asked_ = false;
    if (!storage_ || !writable_) {
        pending_.clear();
        return;
    }
    auto apply = [this](Json& doc) {
        for (const auto& [key, value] : pending_) {
            if (value) {
                doc[key] = *value;
            } else {
                doc.erase(key);
            }
        }
    };
    bool stored = false;
    std::vector<std::string> lines;
    std::optional<WriteFailure> problem =
        storage_->update([&](const DefaultsStorage::Loaded& found) -> std::optional<std::string> {
            switch (found.status) {
            case DefaultsStorage::Status::absent:
                break; // gone meanwhile: what we hold is all there is
            case DefaultsStorage::Status::failed:
                lines.push_back("defaults: not saved (cannot read: " + found.problem + ")");
                return std::nullopt;
            case DefaultsStorage::Status::ok:
                try {
                    Json doc = json::parse(found.text);
                    if (!doc.is_object()) {
                        throw json::DecodeError("not an object");
                    }
                    apply(doc);
                    values_ = std::move(doc);
                } catch (const json::DecodeError& e) {
                    // Spoilt since we read it: keep that copy, store ours.
                    std::optional<std::string> aside = storage_->setAside();
                    if (!aside) {
                        writable_ = false;
                        lines.push_back(std::string("defaults: unreadable (") + e.what() +
                                        "); changes are kept for this run only");
                        return std::nullopt;
                    }
                    lines.push_back(std::string("defaults: unreadable (") + e.what() +
                                    "), kept as " + *aside);
                }
                break;
            }
            stored = true;
            return values_.dump(2) + "\n";
        });
    if ((stored && !problem) || !writable_) {
        pending_.clear();
    }
    for (const std::string& line : lines) {
        reportProblem(line);
    }
    if (problem) {
        reportProblem("defaults: not saved (" + problem->problem + ")");
        if (!failing_) {
            failing_ = true;
            untold_ = problem->reason;
        }
    } else if (stored) {
        failing_ = false;
    }
}

void Defaults::reportProblem(const std::string& line) const {
    if (report_) {
        report_(line);
    }
}

} // namespace helm
