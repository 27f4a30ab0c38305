#pragma once

#include <functional>

struct _GSettings;

namespace helm {

// GNOME's wish for less motion on screen (its enable-animations switch), read once and kept
// current by GSettings' change signal, which arrives through the main thread's GLib loop.
class DesktopMotion {
public:
    // changed is called after the switch has flipped.
    explicit DesktopMotion(std::function<void()> changed);
    ~DesktopMotion();
    DesktopMotion(const DesktopMotion&) = delete;
    DesktopMotion& operator=(const DesktopMotion&) = delete;

    // True when GNOME's animations are switched off; false wherever the setting cannot be read.
    bool reduced() const { return off_; }

private:
    static void onChanged(_GSettings* settings, const char* key, void* self);

    _GSettings* settings_ = nullptr;
    unsigned long handler_ = 0;
    bool off_ = false;
    std::function<void()> changed_;
};

} // namespace helm
