#pragma once

#include "platform/ReduceMotion.h"

#include <string>

namespace helm {

// GNOME's enable-animations switched off, else KDE's AnimationDurationFactor of 0 (kwinrc in
// the user's config folder). Anything unreadable counts as motion allowed.
class X11ReduceMotion : public ReduceMotion {
public:
    bool reduced() override;

    // KDE's setting from a kwinrc file; false when the file or the key is missing.
    static bool kdeReduced(const std::string& kwinrc);
};

} // namespace helm
