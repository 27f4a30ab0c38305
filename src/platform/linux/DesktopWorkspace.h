#pragma once

#include "platform/Workspace.h"

namespace helm {

// The desktop's file manager through the URL handler, and a successor started detached with
// HELMVANTOR_RELAUNCHED=1 in its environment.
class DesktopWorkspace : public Workspace {
public:
    void openFolder(const std::string& path) override;
    std::optional<std::string> startSuccessor(const std::vector<std::string>& args) override;
};

} // namespace helm
