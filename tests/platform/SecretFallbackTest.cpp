// The keys where no keyring answers: the real libsecret store with no session bus to reach,
// then a private file; what a keyless run kept moves into a keyring that answers later.
#include "platform/linux/FallbackSecretStore.h"
#include "platform/linux/LibsecretStore.h"
#include "platform/sim/MemorySecretStore.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace helm;

namespace {

using Status = SecretStore::Status;

struct SecretFallback : ::testing::Test {
    QTemporaryDir dir;
    std::string folder = dir.path().toStdString() + "/data/com.pardwell.pivmor";
    std::string path = folder + "/secrets.json";
    std::vector<std::string> lines;

    FallbackSecretStore over(std::unique_ptr<SecretStore> keyring) {
        return FallbackSecretStore(std::move(keyring), std::make_unique<FileSecretStore>(path),
                                   [this](const std::string& l) { lines.push_back(l); });
    }
    FallbackSecretStore overLibsecret() {
        return over(std::make_unique<LibsecretStore>("com.pardwell.pivmor.test"));
    }
    mode_t mode(const std::string& p) {
        struct stat st {};
        stat(p.c_str(), &st);
        return st.st_mode & 0777;
    }
};

TEST_F(SecretFallback, WithoutASecretServiceTheKeysOutliveTheRunInAPrivateFile) {
    // No session bus to reach, and no display to start one for.
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/helmvantor-test-bus", 1);
    unsetenv("DISPLAY");
    {
        FallbackSecretStore run = overLibsecret();
        EXPECT_EQ(Status::notFound, run.read("pc-keys").status);
        EXPECT_TRUE(run.write("pc-keys", "keys").ok);
        EXPECT_EQ(path, run.keptIn());
    }
    ASSERT_EQ(1u, lines.size()); // said once, with the place
    EXPECT_NE(std::string::npos, lines[0].find("kept in " + path + ", readable only by you"));
    EXPECT_EQ(0600u, mode(path));
    EXPECT_EQ(0700u, mode(folder));
    EXPECT_EQ("keys", overLibsecret().read("pc-keys").value); // the next run finds them

    // A file that no longer decodes is never written over.
    std::ofstream(path) << "{\"pc-keys\": 5}";
    FallbackSecretStore bad = overLibsecret();
    EXPECT_EQ(Status::failed, bad.read("pc-keys").status);
    EXPECT_FALSE(bad.write("pc-keys", "new").ok);
    std::stringstream left;
    left << std::ifstream(path).rdbuf();
    EXPECT_EQ("{\"pc-keys\": 5}", left.str());
}

TEST_F(SecretFallback, AKeyringThatAnswersTakesInWhatTheFileKept) {
    struct Case {
        const char* name;
        std::optional<std::string> inKeyring; // its "pc-keys" before
        bool locked;
        std::string read;     // "pc-keys" read through the store
        bool fileKeepsPCKeys; // the file still holds it after
    };
    const Case cases[] = {
        {"empty keyring", std::nullopt, false, "from file", false},
        {"the keyring's own", "keyring's", false, "keyring's", true},
        {"locked keyring", "keyring's", true, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FileSecretStore file(path);
        ASSERT_TRUE(file.write("pc-keys", "from file").ok);
        ASSERT_TRUE(file.write("hub-secret", "s").ok);
        auto keyring = std::make_unique<MemorySecretStore>();
        MemorySecretStore* k = keyring.get();
        if (c.inKeyring)
            k->items["pc-keys"] = *c.inKeyring;
        k->failReads = c.locked;
        FallbackSecretStore run = over(std::move(keyring));
        EXPECT_EQ(c.read, run.read("pc-keys").value);
        EXPECT_EQ(std::nullopt, run.keptIn());
        EXPECT_EQ(c.locked ? 0u : 1u, k->items.count("hub-secret"));
        std::optional<FileSecretStore::Items> left = file.items();
        EXPECT_EQ(c.fileKeepsPCKeys, left && left->count("pc-keys") == 1);
        QFile::remove(QString::fromStdString(path));
    }
}

} // namespace
