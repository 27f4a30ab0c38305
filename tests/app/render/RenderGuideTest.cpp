// The "--render-guide" run of the real program: which pictures it writes, that they depend on
// nothing of the machine or the user, and that they still look like the reviewed copies.
#include "app/menu/MenuModel.h"
#include "app/menu/StatusMenu.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>

namespace {

struct Picture {
    const char* name;
    int w, h;
};

const Picture pictures[] = {
    {"0-welcome", 960, 720},
    {"1-camera", 960, 720},
    {"2-keyboard", 960, 720},
    {"3-connect", 960, 720},
    {"3-connect-done", 960, 720},
    {"4-look-start", 960, 720},
    {"4-look-running", 960, 720},
    {"5-finetune", 960, 720},
    {"6-done-waiting", 960, 720},
    {"6-done", 960, 720},
    {"settings-general", 820, 560},
    {"settings-switching", 820, 560},
    {"settings-tracking", 820, 560},
    {"settings-jump", 820, 560},
    {"settings-camera", 820, 560},
    {"settings-computers", 820, 560},
    {"settings-setups", 820, 560},
    {"menu-header", 320, 120},
    {"menu-header-warning", 320, 130},
    {"camera-feed-hint", 480, 370},
    {"screens-window", 920, 600},
    {"desk-3d", 900, 560},
    {"target", 960, 540},
};

// Odd preferences a user might have; none may reach a picture.
const char* oddDefaults = R"({"p.jump.id": "off", "p.jump.color": "#FF2D55", "p.eyeMix": 0.95,
    "p.speed": 2, "p.panel": true, "map3d": false, "map3d.edit": true, "onboarded": true})";

QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs the program with no display and every user folder under home; extra variables on top.
int render(const QString& home, const QString& folder,
           const std::map<QString, QString>& extra = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        env.remove(name);
    }
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/config");
    env.insert("XDG_STATE_HOME", home + "/state");
    env.insert("XDG_DATA_HOME", home + "/data");
    env.insert("XDG_CACHE_HOME", home + "/cache");
    for (const auto& [k, v] : extra) {
        env.insert(k, v);
    }
    QProcess p;
    p.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    p.start(HELM_PROGRAM, {"--render-guide", folder});
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    std::cout << "render run: " << clock.elapsed() << " ms\n";
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

class RenderGuide : public testing::Test {
protected:
    static void SetUpTestSuite() {
        plain = new QTemporaryDir;
        odd = new QTemporaryDir;
        QDir(odd->path()).mkpath("config/com.pardwell.pivmor");
        QFile f(odd->filePath("config/com.pardwell.pivmor/defaults.json"));
        if (f.open(QIODevice::WriteOnly)) {
            f.write(oddDefaults);
        }
        f.close();
        firstExit = render(plain->path(), plain->filePath("out"));
        // A scaled, high-dpi desktop and the user's odd settings change nothing.
        secondExit = render(odd->path(), odd->filePath("out/nested"),
                            {{"QT_SCALE_FACTOR", "2"},
                             {"QT_FONT_DPI", "144"},
                             {"QT_SCREEN_SCALE_FACTORS", "1.5"},
                             {"DISPLAY", ":0"}});
    }
    static void TearDownTestSuite() {
        delete plain;
        delete odd;
    }
    static QString first(const char* name) {
        return plain->filePath(QStringLiteral("out/%1.png").arg(name));
    }
    static QString second(const char* name) {
        return odd->filePath(QStringLiteral("out/nested/%1.png").arg(name));
    }

    static inline QTemporaryDir* plain = nullptr;
    static inline QTemporaryDir* odd = nullptr;
    static inline int firstExit = -1;
    static inline int secondExit = -1;
};

TEST_F(RenderGuide, EveryPictureAtItsSizeAndTheSameBytesEachRun) {
    EXPECT_EQ(firstExit, 0);
    EXPECT_EQ(secondExit, 0);
    QStringList made = QDir(plain->filePath("out")).entryList(QDir::Files);
    EXPECT_EQ(made.size(), static_cast<qsizetype>(std::size(pictures)))
        << made.join(' ').toStdString();
    for (const Picture& p : pictures) {
        SCOPED_TRACE(p.name);
        QByteArray bytes = read(first(p.name));
        QImage img = QImage::fromData(bytes, "PNG");
        EXPECT_EQ(img.size(), QSize(p.w, p.h));
        EXPECT_EQ(bytes, read(second(p.name)));
        // Nothing of the run (time, host, software) written beside the pixels.
        for (const char* chunk : {"tEXt", "iTXt", "zTXt", "tIME"}) {
            EXPECT_FALSE(bytes.contains(chunk)) << chunk;
        }
    }
    EXPECT_EQ(read(odd->filePath("config/com.pardwell.pivmor/defaults.json")),
              QByteArray(oddDefaults));
    // No log, no defaults written, nothing under the user's folders.
    for (QTemporaryDir* home : {plain, odd}) {
        for (const char* folder : {"state", "data"}) {
            EXPECT_FALSE(QDir(home->filePath(folder)).exists()) << folder;
        }
    }
    EXPECT_FALSE(QFile::exists(plain->filePath("config/com.pardwell.pivmor/defaults.json")));
}

TEST_F(RenderGuide, ARunIntoTheSameFolderWritesEveryPictureAgain) {
    const char* spoilt = pictures[0].name;
    QFile f(first(spoilt));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    EXPECT_EQ(render(plain->path(), plain->filePath("out")), 0);
    for (const Picture& p : pictures) {
        EXPECT_EQ(read(first(p.name)), read(second(p.name))) << p.name;
    }
}

TEST_F(RenderGuide, AFileGivenAsTheFolderGetsNoPictureAndStatusZero) {
    QTemporaryDir home;
    QFile f(home.filePath("taken"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("mine");
    f.close();
    EXPECT_EQ(render(home.path(), home.filePath("taken")), 0);
    EXPECT_EQ(read(home.filePath("taken")), QByteArray("mine"));
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{"taken"});
}

// Within 2/255 on every channel of every pixel; on failure the picture and a map of where it
// differs go to the build tree. HELM_UPDATE_GOLDEN=1 rewrites the reviewed copies instead.
testing::AssertionResult matchesGolden(const QString& path, const QString& name) {
    const QString golden = QStringLiteral(HELM_GOLDEN_DIR "/%1.png").arg(name);
    QImage actual = QImage(path).convertToFormat(QImage::Format_RGB32);
    if (std::getenv("HELM_UPDATE_GOLDEN") != nullptr) {
        QDir().mkpath(HELM_GOLDEN_DIR);
        QFile::remove(golden);
        if (!QFile::copy(path, golden)) {
            return testing::AssertionFailure() << "cannot rewrite " << golden.toStdString();
        }
        return testing::AssertionSuccess() << "rewritten";
    }
    QImage want = QImage(golden).convertToFormat(QImage::Format_RGB32);
    if (actual.isNull() || want.isNull() || actual.size() != want.size()) {
        return testing::AssertionFailure() << name.toStdString() << ": missing or resized";
    }
    QImage diff(actual.size(), QImage::Format_RGB32);
    diff.fill(Qt::black);
    long long beyond = 0;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            QRgb a = actual.pixel(x, y), g = want.pixel(x, y);
            int d = std::max({std::abs(qRed(a) - qRed(g)), std::abs(qGreen(a) - qGreen(g)),
                              std::abs(qBlue(a) - qBlue(g))});
            if (d > 2) {
                ++beyond;
                diff.setPixel(x, y, qRgb(255, std::min(255, d * 4), 0));
            }
        }
    }
    if (beyond == 0) {
        return testing::AssertionSuccess();
    }
    QDir().mkpath(HELM_GOLDEN_OUT);
    QString out = QStringLiteral(HELM_GOLDEN_OUT "/%1").arg(name);
    actual.save(out + ".actual.png");
    diff.save(out + ".diff.png");
    return testing::AssertionFailure()
           << name.toStdString() << ": " << beyond << " pixels differ; see " << out.toStdString()
           << ".diff.png";
}

// The live menu, whatever the desktop's theme, is painted on the ground its pictures show.
TEST_F(RenderGuide, TheMenuLooksAsItsPictures) {
    int argc = 1;
    char name[] = "render_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    helm::MenuModel model;
    auto menu = helm::buildMenu(model, {}, true);
    for (QMenu* which : {&menu->menu, &menu->jumpMenu}) {
        const QImage live = which->grab().toImage();
        ASSERT_FALSE(live.isNull());
        for (const char* picture : {"menu-header", "menu-header-warning"}) {
            EXPECT_EQ(QImage(first(picture)).pixelColor(4, 4), live.pixelColor(4, 4)) << picture;
        }
    }
}

TEST_F(RenderGuide, PicturesMatchTheReviewedCopies) {
    for (const char* name :
         {"0-welcome", "4-look-running", "settings-jump", "camera-feed-hint", "target"}) {
        EXPECT_TRUE(matchesGolden(second(name), name));
    }
}

} // namespace
