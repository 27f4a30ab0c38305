#pragma once

#include "platform/Pasteboard.h"
#include "platform/x11/X11Selection.h"

#include <chrono>
#include <optional>

namespace helm {

// Another program's clipboard, read as the hand-over reads one, over an X connection of its
// own: made on the main thread, used on one other thread, where its waits hold nothing up.
// The formats on offer are asked for once; the whole read, every format included, has the time
// limit of X11Selection.
class X11ClipboardReader : public ClipboardContents {
public:
    explicit X11ClipboardReader(std::uint64_t most,
                                std::chrono::milliseconds patience = std::chrono::seconds(5),
                                std::chrono::milliseconds total = X11Selection::allowed)
        : selection_(most, patience, total) {}

    std::vector<std::string> types() const override;
    std::vector<std::string> filePaths() const override;
    std::optional<std::string> text() const override;
    std::optional<Data> png() const override;
    std::optional<Data> otherPicture() const override;
    bool late() const override { return selection_.late(); }
    void stop() const override { selection_.stop(); }

private:
    const std::vector<std::string>& offered() const;
    bool offers(const std::string& target) const;

    mutable X11Selection selection_;
    mutable std::optional<std::vector<std::string>> offered_;
};

} // namespace helm
