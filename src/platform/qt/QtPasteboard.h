#pragma once

#include "platform/Pasteboard.h"

#include <functional>
#include <memory>
#include <vector>

class QObject;
class QMimeData;

namespace helm {

// The desktop's clipboard (X11 CLIPBOARD) through Qt. Reading another program's clipboard
// through Qt waits for that program on the main thread, so where a reader of another kind is
// given, another program's contents are read through it, away from the main thread; the
// formats are asked for first and the bytes of a format only when needed. What we write is
// served by this process and vanishes at quit unless the desktop's clipboard manager keeps it.
// Needs the application object to exist.
class QtPasteboard : public Pasteboard {
public:
    using Reader = std::function<std::shared_ptr<const ClipboardContents>(std::uint64_t most)>;

    explicit QtPasteboard(Reader elsewhere = {});
    ~QtPasteboard() override;

    std::string name() const override { return "CLIPBOARD"; }
    long changeCount() const override { return count_; }
    std::vector<std::string> types() const override;
    std::vector<std::string> filePaths() const override;
    std::optional<std::string> text() const override;
    std::optional<Data> png() const override;
    std::optional<Data> otherPicture() const override;
    void setText(const std::string& text) override;
    void setPng(const Data& png) override;
    void setFiles(const std::vector<std::string>& paths) override;
    std::shared_ptr<const ClipboardContents> elsewhere(std::uint64_t most) const override;
    void stopReading() override;

private:
    void replace(QMimeData* data);
    Reader elsewhere_;
    // The readers given, for stopReading.
    mutable std::vector<std::weak_ptr<const ClipboardContents>> readers_;
    bool stopped_ = false;
    std::unique_ptr<QObject> context_;
    long count_ = 0;
};

} // namespace helm
