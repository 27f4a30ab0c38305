#include "platform/linux/DesktopEntry.h"
#include "platform/linux/XdgLoginItem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>


namespace helm {
namespace {

void writeFile(const QString& path, const std::string& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.data(), static_cast<qint64>(text.size()));
}

TEST(XdgLoginItem, ProgramPathsReadBackThroughTheEntrysQuoting) {
    const char* programs[] = {"/usr/bin/helmvantor", "/home/ann/My Apps/helm 100%/helmvantor",
                              "/opt/a\"b`c$d\\e/helmvantor", "/opt/tab\there;#/helmvantor"};
    for (const char* p : programs) {
        QTemporaryDir home;
        XdgLoginItem item(p, home.path().toStdString(), {});
        ASSERT_FALSE(item.setEnabled(true)) << p;
        EXPECT_TRUE(item.enabled()) << p;
        EXPECT_EQ(item.program(), std::string(p)) << p;
    }
}

TEST(XdgLoginItem, TheEntryInForceDecides) {
    struct Case {
        const char* name;
        const char* system; // a system entry's extra line, or none
        bool turnOn;        // then our own change, if any
        bool turnOff;
        bool want;
        bool oursLeft;
    };
    const Case cases[] = {
        {"nothing anywhere", nullptr, false, false, false, false},
        {"a system entry starts us", "", false, false, true, false},
        {"a system entry disabled the GNOME way", "X-GNOME-Autostart-enabled=false\n", false,
         false, false, false},
        {"a hidden system entry", "Hidden=true\n", false, false, false, false},
        {"ours overrides a hidden system entry", "Hidden=true\n", true, false, true, true},
        {"turning off hides a system entry", "", false, true, false, true},
        {"turning off removes ours", nullptr, true, true, false, false},
    };
    for (const Case& c : cases) {
        QTemporaryDir home, sys;
        if (c.system != nullptr) {
            writeFile(sys.path() + "/autostart/" + XdgLoginItem::fileName,
                      std::string("[Desktop Entry]\nType=Application\nExec=/usr/bin/other\n") +
                          c.system);
        }
        XdgLoginItem item("/usr/bin/helmvantor", home.path().toStdString(),
                          {"/nonexistent", sys.path().toStdString()});
        if (c.turnOn) {
            EXPECT_FALSE(item.setEnabled(true)) << c.name;
        }
        if (c.turnOff) {
            EXPECT_FALSE(item.setEnabled(false)) << c.name;
        }
        EXPECT_EQ(item.enabled(), c.want) << c.name;
        EXPECT_EQ(QFile::exists(QString::fromStdString(item.path())), c.oursLeft) << c.name;
    }
}

TEST(XdgLoginItem, AnUnwritableFolderGivesTheReason) {
    // A plain file where the config folder should be: no folder can be made under it, for
    // root too.
    QTemporaryDir home;
    writeFile(home.path() + "/config", "not a folder");
    XdgLoginItem item("/usr/bin/helmvantor", home.path().toStdString() + "/config", {});
    std::optional<std::string> why = item.setEnabled(true);
    ASSERT_TRUE(why);
    EXPECT_FALSE(why->empty());
    EXPECT_FALSE(item.enabled());
}

TEST(DesktopEntry, ExecLinesSplitAsWritten) {
    struct Case {
        const char* exec;
        std::optional<std::vector<std::string>> want;
    };
    const Case cases[] = {
        {"a b", std::vector<std::string>{"a", "b"}},
        {"\"a b\" 100%%", std::vector<std::string>{"a b", "100%"}},
        {"\"a \\\"q\\\" \\\\ \\$\"", std::vector<std::string>{"a \"q\" \\ $"}},
        {"\"open", std::nullopt},
        {"", std::vector<std::string>{}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DesktopEntry::splitExec(c.exec), c.want) << c.exec;
    }
}

} // namespace
} // namespace helm
