#include "platform/linux/CameraNodes.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace helm {
namespace {

// A process folder of our own, pid 10 being this program: "pid:name:open,open".
TEST(CameraNodes, TheProgramHoldingANodeIsAnotherProcessWithItOpen) {
    namespace fs = std::filesystem;
    const std::pair<std::vector<std::string>, std::optional<std::string>> cases[] = {
        {{"20:bash:/dev/null"}, std::nullopt},
        {{"10:helmvantor:/dev/video0"}, std::nullopt}, // only this program
        {{"10:helmvantor:/dev/video0", "33:zoom:/dev/null,/dev/video0"}, "zoom"},
        {{"20:cheese:/dev/video01"}, std::nullopt},
        {{"44::/dev/video0"}, "process 44"}, // no name to be read
        {{"self:x:/dev/video0", "55::"}, std::nullopt},
    };
    for (const auto& [processes, holder] : cases) {
        QTemporaryDir proc;
        const fs::path root = proc.path().toStdString();
        for (const std::string& p : processes) {
            const std::string pid = p.substr(0, p.find(':'));
            const std::string name = p.substr(pid.size() + 1, p.rfind(':') - pid.size() - 1);
            fs::create_directories(root / pid / "fd");
            if (!name.empty())
                std::ofstream(root / pid / "comm") << name << "\n";
            std::stringstream open(p.substr(p.rfind(':') + 1));
            int fd = 0;
            for (std::string node; std::getline(open, node, ',');)
                fs::create_symlink(node, root / pid / "fd" / std::to_string(fd++));
        }
        EXPECT_EQ(programHolding("/dev/video0", root.string(), 10), holder) << processes[0];
    }
}

} // namespace
} // namespace helm
