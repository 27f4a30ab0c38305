#pragma once

#include "platform/Workspace.h"

namespace helm {

// The desktop's file manager, the default program for folders in the desktop's list of
// programs, and a successor started detached with HELMVANTOR_RELAUNCHED=1 in its environment.
class DesktopWorkspace : public Workspace {
public:
    std::optional<std::string> openFolder(const std::string& path) override;
    std::optional<std::string> startSuccessor(const std::vector<std::string>& args) override;
};

} // namespace helm
