#pragma once

#include "desk/Angle.h"
#include "desk/Layout.h"
#include "desk/Observers.h"
#include "desk/Screen.h"
#include "desk/V3.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace helm {

// What the desk views show and edit: the working layout and the live gaze state. Views change
// the layout only through edit and editScreen, which hand the new layout to onChange; the
// application adopts it and pushes it back. Writers of the other fields set them directly and
// then call changed(). Main thread only.
class DeskModel {
public:
    explicit DeskModel(Layout layout = {});

    Layout layout;
    std::vector<std::string> agents; // names of the PCs connected now
    std::optional<std::string> looking;
    std::optional<Angle> angle;
    std::optional<V3> head; // cm
    bool atKeyboard = false;
    std::optional<std::string> selected;
    std::string message =
        "Each box is one monitor, as you see it from your chair. Drag a box to move it, drag "
        "its corner to resize.";

    // Filled in by the application; each does nothing until then.
    std::function<void(const Layout&)> onChange;
    std::function<void(const std::string&)> onRelearn;
    std::function<void()> onIdentify;
    // A drag in a desk view starts (true) or ends (false): the edits in between come many
    // times a second.
    std::function<void(bool)> onDragging;

    // Applies change to a copy of the layout, publishes the copy, then calls onChange with it.
    void edit(const std::function<void(Layout&)>& change);
    // Like edit, on the first screen with that id; an unknown id still publishes the
    // unchanged layout and still calls onChange.
    void editScreen(const std::string& id, const std::function<void(Screen&)>& change);

    // Tells every observer that fields changed.
    void changed() { observers.notify(); }
    Observers observers;
};

} // namespace helm
