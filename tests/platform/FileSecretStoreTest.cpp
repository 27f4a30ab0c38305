// What the secrets file store does with a file found in a state it would never leave it in.
#include "platform/linux/FileSecretStore.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QTemporaryDir>

#include <fstream>
#include <sstream>

using namespace helm;

namespace {

mode_t modeOf(const std::string& p) {
    struct stat st {};
    stat(p.c_str(), &st);
    return st.st_mode & 0777;
}

std::string slurp(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path).rdbuf();
    return s.str();
}

TEST(FileSecretStore, AFileFoundOpenOrOversizedIsMadePrivateOrLeftAlone) {
    struct Case {
        const char* what;
        mode_t folderMode, fileMode; // as found
        std::size_t padding;         // of the one item, beyond a real key's size
        SecretStore::Status read;
        bool written;         // a later write goes through
        std::size_t logLines; // about the modes
    };
    const Case cases[] = {
        {"open to others", 0777, 0644, 0, SecretStore::Status::ok, true, 2},
        {"larger than any real one", 0700, 0600, FileSecretStore::mostBytes,
         SecretStore::Status::failed, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString() + "/com.pardwell.pivmor";
        const std::string path = folder + "/secrets.json";
        ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
        std::ofstream(path) << "{\"pc-keys\": \"" << std::string(48 + c.padding, 'k') << "\"}";
        chmod(folder.c_str(), c.folderMode);
        chmod(path.c_str(), c.fileMode);
        const std::string found = slurp(path);
        std::vector<std::string> lines;
        FileSecretStore store(path, [&](const std::string& l) { lines.push_back(l); });

        EXPECT_EQ(c.read, store.read("pc-keys").status);
        EXPECT_EQ(0700u, modeOf(folder)) << "private from the first read on";
        EXPECT_EQ(0600u, modeOf(path));
        EXPECT_EQ(c.logLines, lines.size());
        EXPECT_EQ(c.written, store.write("hub-secret", "s").ok);
        if (!c.written) {
            EXPECT_TRUE(found == slurp(path)) << "left byte for byte";
        }
    }
}

} // namespace
