#include "platform/linux/DesktopWorkspace.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace helm {
namespace {

// The desktop's list of programs holds one file manager, a script that writes down the folder
// it was asked to show.
TEST(DesktopWorkspace, ShowsAFolderWithTheProgramListedForFolders) {
    QTemporaryDir home;
    const std::string root = home.path().toStdString();
    const std::string shown = root + "/shown";
    std::filesystem::create_directories(root + "/data/applications");
    {
        std::ofstream script(root + "/files.sh");
        script << "#!/bin/sh\nprintf %s \"$1\" > " << shown << ".part && mv " << shown << ".part "
               << shown << "\n";
    }
    std::filesystem::permissions(root + "/files.sh", std::filesystem::perms::owner_all);
    std::ofstream(root + "/data/applications/files.desktop")
        << "[Desktop Entry]\nType=Application\nName=Files\nExec=" << root
        << "/files.sh %f\nMimeType=inode/directory;\n";
    // As the package system indexes every list of programs.
    std::ofstream(root + "/data/applications/mimeinfo.cache")
        << "[MIME Cache]\ninode/directory=files.desktop;\n";
    // Only this list: before the desktop's own lists are first read in this process.
    ::setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (root + "/none").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (root + "/none").c_str(), 1);

    DesktopWorkspace workspace;
    EXPECT_EQ(workspace.openFolder(root), std::nullopt);
    for (int i = 0; i < 500 && !std::filesystem::exists(shown); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::stringstream got;
    got << std::ifstream(shown).rdbuf();
    EXPECT_EQ(got.str(), root);
}

} // namespace
} // namespace helm
