#pragma once

#include <optional>
#include <string>
#include <vector>

namespace helm {

// The desktop's file manager and the starting of programs. Main thread only.
class Workspace {
public:
    virtual ~Workspace() = default;

    // Shows the folder in the desktop's file manager. The reason, short and in lower case,
    // when no file manager could be started; nothing when one was (what it then makes of the
    // folder is not reported).
    virtual std::optional<std::string> openFolder(const std::string& path) = 0;
    // Starts a new copy of this program with these arguments (the program's name not
    // included), marked as a successor in its environment. The reason when it could not be
    // started, nothing when it was.
    virtual std::optional<std::string> startSuccessor(const std::vector<std::string>& args) = 0;
};

} // namespace helm
