// The keys where the keyring can't be used: the real libsecret store with no session bus to
// reach, no keyring on the bus or one that never answers, then a private file; what a keyless
// run kept moves into a keyring that answers later.
// Before Qt's headers, whose "signals" keyword GLib's headers use as a name.
#include <libsecret/secret.h>

#include "platform/linux/FallbackSecretStore.h"
#include "platform/linux/LibsecretStore.h"
#include "platform/sim/MemorySecretStore.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
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
        std::string read;                     // "pc-keys" read through the store
        bool fileKeepsPCKeys;                 // the file still holds it after
    };
    const Case cases[] = {
        {"empty keyring", std::nullopt, "from file", false},
        {"the keyring's own", "keyring's", "keyring's", true},
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
        FallbackSecretStore run = over(std::move(keyring));
        EXPECT_EQ(c.read, run.read("pc-keys").value);
        EXPECT_EQ(std::nullopt, run.keptIn());
        EXPECT_EQ(1u, k->items.count("hub-secret"));
        std::optional<FileSecretStore::Items> left = file.items();
        EXPECT_EQ(c.fileKeepsPCKeys, left && left->count("pc-keys") == 1);
        QFile::remove(QString::fromStdString(path));
    }
}

// A session bus of the test's own, on a configuration without any service to start, and the
// silent keyring on it when asked. GLib keeps its first session-bus connection for the life of
// the process, so every case on a bus shares this one.
struct PrivateBus {
    QTemporaryDir folder;
    QProcess daemon, keyring;
    const std::string before = std::getenv("PATH") ? std::getenv("PATH") : "";
    const QString program = QStandardPaths::findExecutable("dbus-daemon"); // while PATH holds it

    void start() {
        const QString conf = folder.path() + "/bus.conf";
        std::ofstream(conf.toStdString())
            << "<busconfig><type>session</type><listen>unix:dir=" << folder.path().toStdString()
            << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow "
               "send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow "
               "own=\"*\"/></policy></busconfig>";
        daemon.start(program, {"--config-file=" + conf, "--nofork", "--print-address=1"});
        ASSERT_TRUE(daemon.waitForReadyRead(5000));
        setenv("DBUS_SESSION_BUS_ADDRESS", daemon.readLine().trimmed().constData(), 1);
    }
    void startKeyring() {
        keyring.start(HELM_SILENT_KEYRING, QStringList());
        ASSERT_TRUE(keyring.waitForReadyRead(5000));
        ASSERT_EQ("ready\n", keyring.readLine().toStdString());
    }
    ~PrivateBus() {
        setenv("PATH", before.c_str(), 1);
        // The connection GLib keeps would end this process when the bus goes.
        if (GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {
            g_dbus_connection_set_exit_on_close(bus, FALSE);
            g_object_unref(bus);
        }
        secret_service_disconnect();
        keyring.kill();
        keyring.waitForFinished();
        daemon.kill();
        daemon.waitForFinished();
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
};

TEST_F(SecretFallback, AKeyringThatCantBeUsedLeavesTheRunToTheFileAndItsItemsAlone) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv); // for the processes
    PrivateBus bus;
    const std::string nothing = bus.folder.path().toStdString() + "/empty";
    std::filesystem::create_directory(nothing);
    // GLib looks for a bus in the runtime folder before it asks dbus-launch for one.
    setenv("XDG_RUNTIME_DIR", nothing.c_str(), 1);
    auto libsecret = [] {
        return std::make_unique<LibsecretStore>("com.pardwell.pivmor.test",
                                                std::chrono::milliseconds(500));
    };
    MemorySecretStore* locked = nullptr;
    struct Case {
        const char* name;
        std::function<std::unique_ptr<SecretStore>()> keyring;
    };
    const Case cases[] = {
        {"no session bus and no dbus-launch",
         [&] {
             unsetenv("DBUS_SESSION_BUS_ADDRESS");
             setenv("DISPLAY", ":98", 1); // an X session started without a bus
             setenv("PATH", nothing.c_str(), 1);
             return libsecret();
         }},
        {"a bus without a keyring",
         [&] {
             bus.start();
             return libsecret();
         }},
        {"a keyring that never answers",
         [&] {
             bus.startKeyring();
             return libsecret();
         }},
        {"a locked keyring",
         [&] {
             auto keyring = std::make_unique<MemorySecretStore>();
             keyring->items["pc-keys"] = "keyring's";
             keyring->failReads = true;
             locked = keyring.get();
             return keyring;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        lines.clear();
        ASSERT_TRUE(FileSecretStore(path).write("pc-keys", "from file").ok);
        FallbackSecretStore run = over(c.keyring());
        EXPECT_EQ("from file", run.read("pc-keys").value);
        EXPECT_TRUE(run.write("hub-secret", "new").ok);
        EXPECT_EQ(path, run.keptIn()); // what the Computers page shows
        ASSERT_EQ(1u, lines.size());
        EXPECT_NE(std::string::npos, lines[0].find("the keyring can't be used ("));
        EXPECT_NE(std::string::npos, lines[0].find("kept in " + path + ", readable only by you"));
        if (locked) {
            EXPECT_EQ(0, locked->writes);
            EXPECT_EQ("keyring's", locked->items["pc-keys"]);
        }
    }

    // At quit a call to the silent keyring ends at once, however long it could have waited.
    LibsecretStore patient("com.pardwell.pivmor.test", std::chrono::hours(1));
    auto reading = std::async(std::launch::async, [&] { return patient.read("pc-keys"); });
    reading.wait_for(std::chrono::milliseconds(200)); // most likely waiting for the answer by now
    patient.stop();
    const SecretStore::Read cut = reading.get();
    EXPECT_EQ(Status::failed, cut.status);
    EXPECT_EQ("Helmvantor is quitting", cut.problem);
}

} // namespace
