#pragma once

#include "platform/Workspace.h"

#include <vector>

namespace helm {

// Remembers what it was asked to open and start, and starts nothing; failure set by tests
// makes every start fail with it, noFolders every opening.
class RecordingWorkspace : public Workspace {
public:
    std::vector<std::string> opened;
    std::vector<std::vector<std::string>> started;
    std::optional<std::string> failure;
    std::optional<std::string> noFolders;

    std::optional<std::string> openFolder(const std::string& path) override {
        if (noFolders) {
            return noFolders;
        }
        opened.push_back(path);
        return std::nullopt;
    }
    std::optional<std::string> startSuccessor(const std::vector<std::string>& args) override {
        if (failure) {
            return failure;
        }
        started.push_back(args);
        return std::nullopt;
    }
};

} // namespace helm
