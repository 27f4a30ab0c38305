// GLib first: Qt's "signals" keyword would break its headers.
#include <gio/gio.h>

#include "platform/x11/X11ReduceMotion.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace helm {
namespace {

TEST(X11ReduceMotion, KdeAnimationsOffOnlyAtAFactorOfZero) {
    // A file per case: the settings reader caches a file whose size and time look unchanged.
    int n = 0;
    struct Case {
        const char* file;
        bool reduced;
    } cases[] = {
        {"[KDE]\nAnimationDurationFactor=0\n", true},
        {"[KDE]\nAnimationDurationFactor=0.0\n", true},
        {"[KDE]\nAnimationDurationFactor=0.5\n", false},
        {"[Compositing]\nAnimationDurationFactor=0\n", false}, // another group's key
        {"[KDE]\nAnimationDurationFactor=\n", false},
        {"[KDE]\nAnimationDurationFactor=slow\n", false},
        {"", false},
    };
    for (const Case& c : cases) {
        const std::string path = ::testing::TempDir() + "kwinrc" + std::to_string(n++);
        std::ofstream(path) << c.file;
        EXPECT_EQ(c.reduced, X11ReduceMotion::kdeReduced(path)) << c.file;
        std::remove(path.c_str());
    }
    EXPECT_FALSE(X11ReduceMotion::kdeReduced(::testing::TempDir() + "no-kwinrc")) << "no file";
}

// Each desktop's switch is read when it changes, not when asked: KDE's kwinrc is written anew
// and moved over the old one; GNOME's setting is flipped through GSettings (in memory here).
TEST(X11ReduceMotion, FollowsTheDesktopWhenItsSettingChanges) {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "x11_tests";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
    QTemporaryDir config;
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("GSETTINGS_BACKEND", "memory");
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.interface", TRUE)
               : nullptr;
    GSettings* gnome = schema ? g_settings_new_full(schema, nullptr, nullptr) : nullptr;
    {
        X11ReduceMotion motion;
        EXPECT_FALSE(motion.reduced()) << "no kwinrc, animations on";
        // Each change flips the answer, so waiting for the answer waits for that change; each
        // kwinrc has another size, as the settings reader takes a file of the same size and
        // time, written within the same millisecond, for the one it read.
        const struct {
            bool kde; // else GNOME
            const char* value;
            bool reduced;
        } changes[] = {
            {true, "0", true},    {true, "1.0", false}, {false, "off", true},
            {false, "on", false}, {true, "0.00", true}, {true, "1", false},
        };
        for (const auto& c : changes) {
            if (c.kde) {
                QFile next(config.filePath("kwinrc.new"));
                ASSERT_TRUE(next.open(QIODevice::WriteOnly));
                next.write(QByteArray("[KDE]\nAnimationDurationFactor=") + c.value + "\n");
                next.close();
                QFile::remove(config.filePath("kwinrc"));
                ASSERT_TRUE(QFile::rename(next.fileName(), config.filePath("kwinrc")));
            } else if (gnome != nullptr) {
                g_settings_set_boolean(gnome, "enable-animations", std::string(c.value) == "on");
            } else {
                continue; // no GNOME schema on this machine
            }
            QDeadlineTimer wait(3000);
            while (motion.reduced() != c.reduced && !wait.hasExpired()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            }
            EXPECT_EQ(c.reduced, motion.reduced()) << (c.kde ? "kwinrc " : "GNOME ") << c.value;
        }
    }
    if (gnome != nullptr) {
        g_object_unref(gnome);
        g_settings_schema_unref(schema);
    }
    qunsetenv("GSETTINGS_BACKEND");
    qputenv("XDG_CONFIG_HOME", oldConfig);
}

} // namespace
} // namespace helm
