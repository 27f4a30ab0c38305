#pragma once

#include "platform/WholeFile.h"

#include <functional>
#include <optional>
#include <string>

namespace helm {

// Where the user defaults live between runs. The store above it keeps every value in memory
// and, after each change, edits the stored document through update; this layer only reads and
// writes text, so the desk code that owns the values stays free of any file or toolkit code.
class DefaultsStorage {
public:
    using Status = StoredText::Status;
    using Loaded = StoredText; // the document, or why it could not be read

    virtual ~DefaultsStorage() = default;

    virtual Loaded load() = 0;
    // Replaces the stored document as a whole, so a crash never leaves half of it behind.
    // Answers why not, or nothing when the text was stored.
    virtual std::optional<WriteFailure> save(const std::string& text) = 0;
    // Reads the stored document, hands it to change and stores change's answer in its place
    // (nothing stored when it answers nothing). Storage shared with other running programs
    // keeps their updates out in between, so one never undoes another's change. Answers why
    // it was not stored, or nothing. Here without such a lock, for storage this process alone
    // uses.
    using Change = std::function<std::optional<std::string>(const Loaded& stored)>;
    virtual std::optional<WriteFailure> update(const Change& change) {
        std::optional<std::string> text = change(load());
        return text ? save(*text) : std::nullopt;
    }
    // Moves a document that could not be understood out of the way so that the next save
    // does not destroy it. Answers where it went, or nothing when it could not be moved.
    virtual std::optional<std::string> setAside() = 0;
};

} // namespace helm
