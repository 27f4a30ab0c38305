#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace helm {

// The clipboard the hand-over reads and writes: the desktop's, or a named one in memory. Only
// the main thread touches it. Every change of its contents, our own writes included, grows the
// change count by at least one.
class Pasteboard {
public:
    using Data = std::vector<std::uint8_t>;
    // Reported among the types when a password manager marked the content as secret.
    static inline const std::string concealedType = "org.nspasteboard.ConcealedType";

    virtual ~Pasteboard() = default;

    virtual std::string name() const = 0;
    virtual long changeCount() const = 0;
    // The formats on offer, as MIME types, and concealedType when the content is a password.
    virtual std::vector<std::string> types() const = 0;
    // The local files of a file copy, in order: absolute paths; empty when none.
    virtual std::vector<std::string> filePaths() const = 0;
    virtual std::optional<std::string> text() const = 0;
    virtual std::optional<Data> png() const = 0;
    // A picture in a format other than PNG, converted to PNG; nothing when there is none or it
    // does not convert.
    virtual std::optional<Data> otherPicture() const = 0;

    // Each replaces the whole contents.
    virtual void setText(const std::string& text) = 0;
    virtual void setPng(const Data& png) = 0;
    // Offered both as a URI list and as a file manager's copy; an empty list empties it.
    virtual void setFiles(const std::vector<std::string>& paths) = 0;
};

} // namespace helm
