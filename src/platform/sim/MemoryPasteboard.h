#pragma once

#include "platform/Pasteboard.h"

#include <map>
#include <string>

namespace helm {

// A named clipboard in memory: what simulation mode and tests hand over, so the desktop's
// clipboard is never touched. Holds MIME types and their bytes as the desktop's would.
class MemoryPasteboard : public Pasteboard {
public:
    explicit MemoryPasteboard(std::string name = "com.pardwell.pivmor.test")
        : name_(std::move(name)) {}

    using Items = std::map<std::string, std::string>;
    // Replaces the contents with these formats, as another program's copy would.
    void set(Items items);
    const Items& items() const { return items_; }

    std::string name() const override { return name_; }
    long changeCount() const override { return count_; }
    std::vector<std::string> types() const override;
    std::vector<std::string> filePaths() const override;
    std::optional<std::string> text() const override;
    std::optional<Data> png() const override;
    // Pictures in other formats are not converted here.
    std::optional<Data> otherPicture() const override { return std::nullopt; }
    void setText(const std::string& text) override;
    void setPng(const Data& png) override;
    void setFiles(const std::vector<std::string>& paths) override;

private:
    std::string name_;
    Items items_;
    long count_ = 0;
};

} // namespace helm
