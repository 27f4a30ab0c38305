#pragma once

#include "desk/Json.h"
#include "desk/Layout.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace helm {

// The named desks: one layout per desk the user works at, and the name of the one in use.
// Lookups by name take the first setup bearing it.
struct Setups {
    struct Setup {
        std::string name;
        Layout layout;

        friend bool operator==(const Setup&, const Setup&) = default;

        // The ids of this computer's screens in the layout; a PC's never count.
        std::set<std::string> macScreens() const;
        // How many of the PCs with screens in the layout are online.
        int pcs(const std::set<std::string>& online) const;

        json::Json toJson() const;
        static Setup fromJson(const json::Json& j, std::vector<std::string>* dropped = nullptr);
    };

    std::vector<Setup> list; // in the order they were made
    std::string active = "Home";

    friend bool operator==(const Setups&, const Setups&) = default;

    Setup* find(const std::string& name);
    const Setup* find(const std::string& name) const;

    // Puts the layout into the active setup, appending one when none bears its name.
    void store(const Layout& layout);
    // Whether some setup has exactly this set of this computer's screens.
    bool fits(const std::set<std::string>& macScreens) const;
    // The setup to switch to for these screens and online PCs, or nothing to stay.
    std::optional<std::string> better(const std::set<std::string>& macScreens,
                                      const std::set<std::string>& online) const;
    // The first free name of "Home", "Work", "Setup 3", "Setup 4"…
    std::string freshName() const;

    // Throws json::EncodeError for a number that is not finite.
    json::Json toJson() const;
    // Throws json::DecodeError; all four keys are required. A setup's calibration record that
    // does not decode is left out and named in `dropped`, when given (Layout::fromJson).
    static Setups fromJson(const json::Json& j, std::vector<std::string>* dropped = nullptr);
};

} // namespace helm
