#pragma once

#include <optional>
#include <string>
#include <vector>

namespace helm {

// The desktop's file manager and the starting of programs. Main thread only.
class Workspace {
public:
    virtual ~Workspace() = default;

    // Shows the folder in the file manager; what the file manager makes of it is not reported.
    virtual void openFolder(const std::string& path) = 0;
    // Starts a new copy of this program with these arguments (the program's name not
    // included), marked as a successor in its environment. The reason when it could not be
    // started, nothing when it was.
    virtual std::optional<std::string> startSuccessor(const std::vector<std::string>& args) = 0;
};

} // namespace helm
