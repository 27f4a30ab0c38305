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

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

// The session bus points nowhere and nothing may start one, for the length of a test.
struct NoSessionBus {
    std::string bus, display;
    NoSessionBus() {
        if (const char* b = std::getenv("DBUS_SESSION_BUS_ADDRESS"))
            bus = b;
        if (const char* d = std::getenv("DISPLAY"))
            display = d;
        setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/helmvantor-test-bus", 1);
        unsetenv("DISPLAY");
    }
    ~NoSessionBus() {
        bus.empty() ? unsetenv("DBUS_SESSION_BUS_ADDRESS")
                    : setenv("DBUS_SESSION_BUS_ADDRESS", bus.c_str(), 1);
        if (!display.empty())
            setenv("DISPLAY", display.c_str(), 1);
    }
};

struct SecretFallback : ::testing::Test {
    QTemporaryDir dir;
    std::string folder = dir.path().toStdString() + "/data/com.pardwell.pivmor";
    std::string path = folder + "/secrets.json";
    std::vector<std::string> lines;

    FallbackSecretStore over(std::unique_ptr<SecretStore> keyring) {
        return FallbackSecretStore(std::move(keyring), std::make_unique<FileSecretStore>(path),
                                   [this](const std::string& l) { lines.push_back(l); });
    }
};

TEST_F(SecretFallback, WithoutASecretServiceTheKeysOutliveTheRunInAPrivateFile) {
    NoSessionBus none;
    LibsecretStore libsecret("com.pardwell.pivmor.test");
    SecretStore::Read direct = libsecret.read("pc-keys");
    EXPECT_EQ(Status::failed, direct.status);
    EXPECT_TRUE(direct.noService) << direct.problem;
    EXPECT_TRUE(libsecret.write("pc-keys", "x").noService);

    {
        FallbackSecretStore run =
            over(std::make_unique<LibsecretStore>("com.pardwell.pivmor.test"));
        EXPECT_EQ(Status::notFound, run.read("pc-keys").status);
        EXPECT_TRUE(run.write("pc-keys", "{\"perPC\":{\"pc1\":\"k\"}}").ok);
        EXPECT_TRUE(run.write("hub-secret", "s").ok);
        EXPECT_EQ(path, run.keptIn());
    }
    ASSERT_EQ(1u, lines.size()); // said once, with the place
    EXPECT_NE(std::string::npos, lines[0].find("kept in " + path + ", readable only by you"));
    EXPECT_EQ(0600u, modeOf(path));
    EXPECT_EQ(0700u, modeOf(folder));

    // The next run finds them.
    FallbackSecretStore next = over(std::make_unique<LibsecretStore>("com.pardwell.pivmor.test"));
    EXPECT_EQ("{\"perPC\":{\"pc1\":\"k\"}}", next.read("pc-keys").value);
    EXPECT_TRUE(next.remove("hub-secret").ok);
    EXPECT_EQ(Status::notFound, next.read("hub-secret").status);
}

TEST_F(SecretFallback, AFileThatDoesNotDecodeIsNeverWrittenOver) {
    auto keyring = std::make_unique<MemorySecretStore>();
    keyring->noService = true;
    FallbackSecretStore run = over(std::move(keyring));
    for (const char* text : {"{\"pc-keys\": 5}", "not json", "[\"pc-keys\"]"}) {
        FileSecretStore(path).write("x", "y");
        { std::ofstream(path) << text; }
        EXPECT_EQ(Status::failed, run.read("pc-keys").status) << text;
        EXPECT_FALSE(run.write("pc-keys", "new").ok) << text;
        EXPECT_EQ(text, slurp(path));
    }
}

TEST_F(SecretFallback, AKeyringThatAnswersTakesInWhatTheFileKept) {
    struct Case {
        const char* name;
        std::optional<std::string> inKeyring; // "pc-keys" before
        bool locked;
        std::string read;     // "pc-keys" read through the store
        bool fileKeepsPCKeys; // the file still holds it after
    };
    const Case cases[] = {
        {"empty keyring", std::nullopt, false, "from file", false},
        {"same value", "from file", false, "from file", false},
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
        SecretStore::Read r = run.read("pc-keys");
        EXPECT_EQ(c.read, r.value);
        EXPECT_EQ(c.locked ? Status::failed : Status::ok, r.status);
        EXPECT_EQ(std::nullopt, run.keptIn());
        EXPECT_EQ(c.locked ? 0u : 1u, k->items.count("hub-secret"));
        std::optional<FileSecretStore::Items> left = file.items();
        ASSERT_TRUE(left);
        EXPECT_EQ(c.fileKeepsPCKeys, left->count("pc-keys") == 1);
        if (!c.fileKeepsPCKeys && !c.locked) {
            EXPECT_FALSE(QFile::exists(QString::fromStdString(path))); // emptied, then gone
        }
        QFile::remove(QString::fromStdString(path));
    }
}

} // namespace
