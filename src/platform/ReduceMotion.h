#pragma once

namespace helm {

// The desktop's wish that programs keep motion on screen to a minimum. Asked at each use,
// so a changed setting counts from the next effect on. Main thread only.
class ReduceMotion {
public:
    virtual ~ReduceMotion() = default;
    virtual bool reduced() = 0;
};

} // namespace helm
