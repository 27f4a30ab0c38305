#include "platform/linux/CameraNodes.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

namespace helm {
namespace {

// A process folder of our own: pid 10 is this program, each other pid holds what it is given.
TEST(CameraNodes, TheProgramHoldingANodeIsAnotherProcessWithItOpen) {
    namespace fs = std::filesystem;
    struct Process {
        std::string pid;
        std::string comm; // "" for none
        std::vector<std::string> open;
    };
    struct Case {
        const char* what;
        std::vector<Process> processes;
        std::optional<std::string> holder;
    };
    const Case cases[] = {
        {"nobody", {{"20", "bash\n", {"/dev/null"}}}, std::nullopt},
        {"only this program", {{"10", "helmvantor\n", {"/dev/video0"}}}, std::nullopt},
        {"another program",
         {{"10", "helmvantor\n", {"/dev/video0"}}, {"33", "zoom\n", {"/dev/null", "/dev/video0"}}},
         "zoom"},
        {"a similar name is another node", {{"20", "cheese\n", {"/dev/video01"}}}, std::nullopt},
        {"no name given", {{"44", "", {"/dev/video0"}}}, "process 44"},
        {"not a process", {{"self", "x\n", {"/dev/video0"}}}, std::nullopt},
    };
    for (const Case& c : cases) {
        QTemporaryDir proc;
        const fs::path root = proc.path().toStdString();
        for (const Process& p : c.processes) {
            fs::create_directories(root / p.pid / "fd");
            if (!p.comm.empty())
                std::ofstream(root / p.pid / "comm") << p.comm;
            for (std::size_t fd = 0; fd < p.open.size(); ++fd)
                fs::create_symlink(p.open[fd], root / p.pid / "fd" / std::to_string(fd));
        }
        // A process whose descriptors this user may not read is passed over.
        fs::create_directories(root / "55");
        EXPECT_EQ(programHolding("/dev/video0", root.string(), 10), c.holder) << c.what;
    }
}

} // namespace
} // namespace helm
