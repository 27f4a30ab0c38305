// The desktop clipboard backend against another X client: this program started again as a
// child that owns the clipboard with what a test gives it, or reads back what we wrote. The
// application's own tests start it as a holder that never finishes handing its text over.
#include "platform/qt/QtPasteboard.h"
#include "SlowHolder.h"
#include "link/MacClipboard.h"
#include "platform/x11/X11ClipboardReader.h"
#include "platform/x11/X11Selection.h"

#include <QBuffer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <thread>

using namespace helm;

namespace {

std::string self;

std::string describe(const MacClipboard::Result& r) {
    std::string out;
    if (!r.clip) {
        out = "none";
    } else if (auto* t = std::get_if<Clip::Text>(&r.clip->value)) {
        out = "text " + t->text;
    } else if (auto* i = std::get_if<Clip::Image>(&r.clip->value)) {
        out = std::string("image ") + (i->png.size() > 8 && i->png[1] == 'P' ? "png" : "other");
    } else {
        for (const ClipFile& f : std::get<Clip::Files>(r.clip->value).files)
            out += (out.empty() ? "" : ",") + f.name + "=" + std::to_string(f.data.size());
    }
    return out + " / " + r.skipped.value_or("-");
}

// Says on standard output each time the clipboard is asked what it holds or for a format.
class TellingMime : public QMimeData {
public:
    QStringList formats() const override {
        std::printf("asked\n");
        std::fflush(stdout);
        return QMimeData::formats();
    }

protected:
    QVariant retrieveData(const QString& mime, QMetaType type) const override {
        std::printf("asked\n");
        std::fflush(stdout);
        return QMimeData::retrieveData(mime, type);
    }
};

// A picture's worth of bytes, none alike in a row: a transfer cut or stitched wrongly shows.
QByteArray pattern(qsizetype size) {
    QByteArray bytes(size, 0);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    return bytes;
}

// The child: owns the clipboard with one kind of content until it is killed.
int own(const std::string& kind, const std::string& arg) {
    auto* m = kind == "telling" ? new TellingMime : new QMimeData;
    if (kind == "text" || kind == "telling") {
        m->setText(QString::fromStdString(arg));
    } else if (kind == "hint") {
        m->setText(QString::fromStdString(arg));
        m->setData("x-kde-passwordManagerHint", "secret");
    } else if (kind == "gnome") {
        m->setData("x-special/gnome-copied-files",
                   QByteArray::fromStdString("copy\nfile://" + arg));
    } else if (kind == "bmp") {
        QImage image(2, 2, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        image.save(&out, "BMP");
        m->setData("image/bmp", bytes);
    } else if (kind == "big") {
        m->setData("image/png", pattern(std::stoll(arg)));
    }
    QGuiApplication::clipboard()->setMimeData(m, QClipboard::Clipboard);
    std::printf("ready\n");
    std::fflush(stdout);
    return QGuiApplication::exec();
}

QtPasteboard::Reader ownConnection = [](std::uint64_t most) {
    return std::make_shared<X11ClipboardReader>(most);
};

// The child that reads: prints what the hand-over would take from the clipboard.
int dump() {
    QtPasteboard pb(ownConnection);
    std::printf("%s\n", describe(MacClipboard::read(pb)).c_str());
    return 0;
}

void pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Runs the child while this process keeps answering the X server.
std::string runChild(QProcess& p, const QStringList& args, bool untilReady) {
    p.start(QString::fromStdString(self), args);
    QElapsedTimer t;
    t.start();
    std::string out;
    while (t.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        p.waitForReadyRead(10);
        out += p.readAllStandardOutput().toStdString();
        if (untilReady ? out.find("ready\n") != std::string::npos
                       : p.state() == QProcess::NotRunning)
            break;
    }
    out += p.readAllStandardOutput().toStdString();
    return out;
}

// Through Qt, and over a connection of our own.
TEST(QtPasteboard, ReadsAnotherProgramsClipboard) {
    QTemporaryDir dir;
    const std::string file = dir.path().toStdString() + "/from gnome.txt";
    std::ofstream(file) << "hello";
    QtPasteboard pb, own(ownConnection);
    struct Case {
        const char* kind;
        std::string arg;
        std::string expect;
    };
    const Case cases[] = {
        {"text", "plain words", "text plain words / -"},
        {"hint", "hunter2", "none / a password stays on this computer"},
        {"gnome", file, "from gnome.txt=5 / -"},
        {"bmp", "", "image png / -"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const long before = pb.changeCount();
        QProcess child;
        runChild(child, {"--own", c.kind, QString::fromStdString(c.arg)}, true);
        pump(200);
        EXPECT_GT(pb.changeCount(), before);
        EXPECT_EQ(describe(MacClipboard::read(pb)), c.expect);
        EXPECT_EQ(describe(MacClipboard::read(own)), c.expect);
        child.kill();
        child.waitForFinished();
    }
}

TEST(QtPasteboard, AnotherProgramReadsWhatWeWrite) {
    QTemporaryDir dir;
    const std::string file = dir.path().toStdString() + "/ours ü.txt";
    std::ofstream(file) << "abc";
    QtPasteboard pb;
    const QImage image = [] {
        QImage i(3, 3, QImage::Format_RGB32);
        i.fill(Qt::blue);
        return i;
    }();
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    image.save(&out, "PNG");
    struct Case {
        const char* name;
        std::function<void()> write;
        std::string expect;
    };
    const Case cases[] = {
        {"text", [&] { pb.setText("to another"); }, "text to another / -"},
        {"files", [&] { pb.setFiles({file}); }, "ours ü.txt=3 / -"},
        {"picture", [&] { pb.setPng(Pasteboard::Data(png.begin(), png.end())); }, "image png / -"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long before = pb.changeCount();
        c.write();
        EXPECT_GT(pb.changeCount(), before);
        pump(50);
        const long after = pb.changeCount();
        QProcess child;
        EXPECT_EQ(runChild(child, {"--dump"}, false), c.expect + "\n");
        pump(50);
        EXPECT_EQ(pb.changeCount(), after) << "another program reading changes nothing";
    }
}

// Another program's clipboard is asked nothing from the main thread: the look there only takes
// a reader, and what it holds is fetched where waiting holds up no input.
TEST(QtPasteboard, TheMainThreadWaitsForNoOtherProgram) {
    QtPasteboard pb(ownConnection);
    QProcess child;
    std::string said = runChild(child, {"--own", "telling", "words"}, true);
    pump(200);
    MacClipboard::Look look = MacClipboard::look(pb);
    pump(200);
    said += child.readAllStandardOutput().toStdString();
    EXPECT_EQ(said, "ready\n");
    MacClipboard::Result r;
    std::thread([&] { r = MacClipboard::load(std::move(look)); }).join();
    EXPECT_EQ(describe(r), "text words / -");
    child.waitForReadyRead(1000);
    EXPECT_NE(child.readAllStandardOutput().toStdString().find("asked"), std::string::npos);
    child.kill();
    child.waitForFinished();
}

// A picture larger than one request comes in pieces; one past what may be read comes cut
// there, and the next transfer is not confused by the pieces left unread. A holder that stops
// answering is given up.
TEST(QtPasteboard, LargeContentsComeWholeOrCutAndASilentHolderIsGivenUp) {
    const qsizetype size = 20'000'000; // past the 16 MB a property holds at once
    QProcess child;
    runChild(child, {"--own", "big", QString::number(size)}, true);
    pump(200);
    X11Selection whole(size + 1, std::chrono::seconds(5)), cut(1000, std::chrono::seconds(5));
    std::optional<std::string> got = whole.fetch("image/png");
    ASSERT_TRUE(got);
    EXPECT_EQ(got->size(), static_cast<std::size_t>(size));
    EXPECT_TRUE(QByteArray::fromStdString(*got) == pattern(size));
    got = cut.fetch("image/png");
    ASSERT_TRUE(got);
    EXPECT_TRUE(QByteArray::fromStdString(*got) == pattern(1000));
    std::optional<std::vector<std::string>> targets = cut.targets();
    ASSERT_TRUE(targets);
    EXPECT_NE(std::find(targets->begin(), targets->end(), "image/png"), targets->end());

    ::kill(static_cast<pid_t>(child.processId()), SIGSTOP);
    X11Selection impatient(1000, std::chrono::milliseconds(300));
    EXPECT_FALSE(impatient.targets());
    ::kill(static_cast<pid_t>(child.processId()), SIGCONT);
    child.kill();
    child.waitForFinished();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    self = argv[0];
    if (argc >= 3 && std::string(argv[1]) == "--own")
        return own(argv[2], argc >= 4 ? argv[3] : "");
    if (argc >= 2 && std::string(argv[1]) == "--dump")
        return dump();
    if (argc >= 3 && std::string(argv[1]) == "--slow")
        return test::holdSlowly(std::chrono::milliseconds(std::stoi(argv[2])));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
