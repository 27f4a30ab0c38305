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
    std::lock_guard lock(mutex_);
    writeLocked([&](Json& doc) { doc[key] = value; });
    return true;
}

void Defaults::remove(const std::string& key) {
    std::lock_guard lock(mutex_);
    if (values_.contains(key)) {
        writeLocked([&](Json& doc) { doc.erase(key); });
    }
}

// The change goes into memory first, so it holds for this run whatever becomes of the file.
// The file is then read afresh and given only this change: keys another running copy wrote
// since we started stay, and memory takes them up too.
void Defaults::writeLocked(const std::function<void(Json&)>& edit) {
    edit(values_);
    if (!storage_ || !writable_) {
        return;
    }
    std::vector<std::string> lines;
    std::optional<std::string> problem =
        storage_->update([&](const DefaultsStorage::Loaded& stored) -> std::optional<std::string> {
            switch (stored.status) {
            case DefaultsStorage::Status::absent:
                break; // gone meanwhile: what we hold is all there is
            case DefaultsStorage::Status::failed:
                lines.push_back("defaults: not saved (cannot read: " + stored.problem + ")");
                return std::nullopt;
            case DefaultsStorage::Status::ok:
                try {
                    Json doc = json::parse(stored.text);
                    if (!doc.is_object()) {
                        throw json::DecodeError("not an object");
                    }
                    edit(doc);
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
            return values_.dump(2) + "\n";
        });
    for (const std::string& line : lines) {
        reportProblem(line);
    }
    if (problem) {
        reportProblem("defaults: not saved (" + *problem + ")");
    }
}

void Defaults::reportProblem(const std::string& line) const {
    if (report_) {
        report_(line);
    }
}

} // namespace helm
