// What is stored survives a disk that fills up: a real full file system of the test's own, in a
// user and mount namespace of a child process.
#include "desk/Defaults.h"
#include "platform/DefaultsFile.h"
#include "platform/linux/FileSecretStore.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/wait.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace helm;

namespace {

bool put(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    ::close(fd);
    return ok;
}

// In the child: a namespace where `folder` is a small tmpfs, or why there is none.
std::string enter(const std::string& folder) {
    const std::string uid = std::to_string(::getuid()), gid = std::to_string(::getgid());
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return std::string("unshare: ") + std::strerror(errno);
    if (!put("/proc/self/setgroups", "deny") ||
        !put("/proc/self/uid_map", uid + " " + uid + " 1") ||
        !put("/proc/self/gid_map", gid + " " + gid + " 1") ||
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0)
        return std::string("setting up: ") + std::strerror(errno);
    return "";
}

// Runs body in the child; its answer (empty: all as expected), or nothing with `why` set.
std::optional<std::string> onSmallDisk(const std::string& folder,
                                       const std::function<std::string()>& body, std::string* why) {
    int out[2];
    if (::pipe(out) != 0 || ::fflush(nullptr) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        const std::string refused = enter(folder);
        const std::string answer = refused.empty() ? body() : "\x01" + refused;
        [[maybe_unused]] auto n = ::write(out[1], answer.data(), answer.size());
        ::_exit(0);
    }
    ::close(out[1]);
    std::string answer;
    char buffer[4096];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        answer.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return "the child failed";
    if (!answer.empty() && answer[0] == '\x01') {
        *why = answer.substr(1);
        return std::nullopt;
    }
    return answer;
}

// Takes the disk's last free byte: tmpfs hands out whole pages.
void fill(const std::string& folder) {
    const int fd = ::open((folder + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    char page[4096] = {};
    while (::write(fd, page, sizeof page) > 0) {
    }
    ::close(fd);
}

std::string slurp(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path).rdbuf();
    return s.str();
}

// Stores text as a run of the program would; answers what the user was told.
std::string intoDefaults(const std::string& path, const std::string& text) {
    std::string told;
    std::string lines;
    Defaults d(std::make_unique<DefaultsFile>(path), [&](const std::string& l) { lines += l; });
    d.onUnsaved = [&](const std::string& reason) { told += reason + "|"; };
    d.set("layout2", text);
    d.set("p.speed", 2); // fails again: the user hears of it once
    if (!lines.empty() && lines.find(path + ": write: No space left on device") == lines.npos)
        return "logged without the file and the reason: " + lines;
    return told;
}

std::string intoSecrets(const std::string& path, const std::string& text) {
    SecretStore::Outcome w = FileSecretStore(path).write("pc-keys", text);
    return w.ok ? "" : w.reason + "|";
}

TEST(FullDisk, AWriteThatDoesntFitLeavesTheOldFileAsItWas) {
    using Store = std::string (*)(const std::string& path, const std::string& text);
    const std::pair<const char*, Store> cases[] = {
        {"defaults.json", intoDefaults},
        {"com.pardwell.pivmor/secrets.json", intoSecrets},
    };
    for (const auto& [file, store] : cases) {
        SCOPED_TRACE(file);
        QTemporaryDir dir;
        const std::string disk = dir.path().toStdString(), path = disk + "/" + file;
        std::string why;
        std::optional<std::string> failed = onSmallDisk(
            disk,
            [&, store = store]() -> std::string {
                if (std::string told = store(path, "old"); !told.empty())
                    return "the first write failed: " + told;
                const std::string before = slurp(path);
                fill(disk);
                // Smaller than a write buffer, as the settings and the keys are.
                const std::string told = store(path, std::string(5000, 'n'));
                if (slurp(path) != before)
                    return "the old file became \"" + slurp(path).substr(0, 80) + "\"";
                for (const auto& e : std::filesystem::directory_iterator(
                         std::filesystem::path(path).parent_path())) {
                    if (e.path().filename().string()[0] == '.')
                        return "a new file left behind: " + e.path().string();
                }
                return told == "the disk is full|" ? "" : "told \"" + told + "\"";
            },
            &why);
        if (!failed)
            GTEST_SKIP() << "this machine allows no user and mount namespace (" << why << ")";
        EXPECT_EQ("", *failed);
    }
}

} // namespace
