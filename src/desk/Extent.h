#pragma once

namespace helm {

// A width and a height, in whatever unit the caller names (cm, degrees, growth factors).
struct Extent {
    double w = 0;
    double h = 0;

    friend bool operator==(const Extent&, const Extent&) = default;
};

} // namespace helm
