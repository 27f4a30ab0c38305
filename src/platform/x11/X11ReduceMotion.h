#pragma once

#include "platform/ReduceMotion.h"

#include <QString>

#include <memory>
#include <string>

class QFileSystemWatcher;

namespace helm {

class DesktopMotion;

// GNOME's enable-animations switched off, else KDE's AnimationDurationFactor of 0 (kwinrc in
// the user's config folder). Anything unreadable counts as motion allowed. Both are read when
// made and again when they change (GSettings' signal, a watch on kwinrc and its folder), so
// asking, as the previews do on every frame, reads nothing. Made on the main thread, after the
// application object.
class X11ReduceMotion : public ReduceMotion {
public:
    X11ReduceMotion();
    ~X11ReduceMotion() override;
    bool reduced() override { return reduced_; }

    // KDE's setting from a kwinrc file; false when the file or the key is missing.
    static bool kdeReduced(const std::string& kwinrc);

private:
    void readKde();

    std::unique_ptr<DesktopMotion> gnome_;
    std::unique_ptr<QFileSystemWatcher> watch_;
    QString kwinrc_;
    bool kde_ = false;
    bool reduced_ = false;
};

} // namespace helm
