#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace helm {

// What a clipboard holds, as the hand-over reads it.
class ClipboardContents {
public:
    using Data = std::vector<std::uint8_t>;
    // Reported among the types when a password manager marked the content as secret.
    static inline const std::string concealedType = "org.nspasteboard.ConcealedType";

    virtual ~ClipboardContents() = default;

    // The formats on offer, as MIME types, and concealedType when the content is a password.
    virtual std::vector<std::string> types() const = 0;
    // The local files of a file copy, in order: absolute paths; empty when none.
    virtual std::vector<std::string> filePaths() const = 0;
    virtual std::optional<std::string> text() const = 0;
    virtual std::optional<Data> png() const = 0;
    // A picture in a format other than PNG, converted to PNG; nothing when there is none or it
    // does not convert.
    virtual std::optional<Data> otherPicture() const = 0;

    // Contents another program holds: true once that program took too long to hand them over
    // or the read was stopped, so what came back may be short of what it holds.
    virtual bool late() const { return false; }
    // Ends a read of another program's contents under way at once, and every later one; from
    // any thread.
    virtual void stop() const {}
};

// The clipboard the hand-over reads and writes: the desktop's, or a named one in memory. Only
// the main thread touches it. Every change of its contents, our own writes included, grows the
// change count by at least one.
class Pasteboard : public ClipboardContents {
public:
    virtual std::string name() const = 0;
    virtual long changeCount() const = 0;
    // When another program holds the contents, reading them waits for that program: a reader
    // of them to use away from the main thread, each format read to at most `most` bytes (a
    // longer one comes cut there). Nothing when the contents are at hand and read at once.
    virtual std::shared_ptr<const ClipboardContents> elsewhere(std::uint64_t /*most*/) const {
        return nullptr;
    }
    // Stops every reader `elsewhere` gave and is still in use, and those it gives from now on:
    // a program that takes its time handing over its contents must not hold up the quit.
    virtual void stopReading() {}

    // Each replaces the whole contents.
    virtual void setText(const std::string& text) = 0;
    virtual void setPng(const Data& png) = 0;
    // Offered both as a URI list and as a file manager's copy; an empty list empties it.
    virtual void setFiles(const std::vector<std::string>& paths) = 0;
};

} // namespace helm
