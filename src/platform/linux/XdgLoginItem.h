#pragma once

#include "platform/LoginItem.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace helm {

// Starting at login through the desktop's autostart folders: our entry
// "com.pardwell.pivmor.desktop" in the user's autostart folder, written atomically. The entry
// in force is ours, else one of that name in a system config folder; it starts the program
// unless it says Hidden=true or X-GNOME-Autostart-enabled=false. Turning off removes ours, and
// hides a system entry by writing a hidden one of ours over it.
class XdgLoginItem : public LoginItem {
public:
    // program is the absolute path the entry starts; configHome the user's config folder;
    // configDirs the system config folders, most important first.
    XdgLoginItem(std::string program, std::string configHome, std::vector<std::string> configDirs);
    // This program, with the folders the XDG variables give.
    static XdgLoginItem forThisProgram();

    bool enabled() const override;
    std::optional<std::string> setEnabled(bool on) override;

    // The program our entry starts, read back through the entry's quoting rules; nothing when
    // there is no entry of ours or it has no Exec line.
    std::optional<std::string> program() const;
    std::string path() const; // our entry

    static constexpr const char* fileName = "com.pardwell.pivmor.desktop";

    // Where a write that failed is told; none by default.
    std::function<void(const std::string&)> log;

private:
    std::string program_;
    std::string configHome_;
    std::vector<std::string> configDirs_;

    std::optional<std::string> write(bool hidden) const;
    std::optional<std::string> systemEntry() const;
};

} // namespace helm
