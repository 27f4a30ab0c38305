#include "AppFixture.h"
#include "PairedAgent.h"
#include "link/Base64.h"
#include "link/Decimal.h"
#include "link/Evp.h"
#include "link/Hex.h"
#include "link/Hub.h"
#include "link/Sealer.h"
#include "link/Wire.h"
#include "platform/sim/MemoryPasteboard.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>

using namespace helm;

namespace {

Screen screen(const std::string& id, int number, std::optional<std::string> pc = std::nullopt) {
    return test::pcScreen(id, number, std::move(pc));
}

// Contents another program holds, which may be read only away from the main thread.
struct HeldElsewhere : ClipboardContents {
    std::vector<std::string> offered = {"text/plain"};
    std::string held;
    mutable std::atomic<int> reads{0}, readsOnMain{0};

    void read() const {
        ++reads;
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            ++readsOnMain;
    }
    std::vector<std::string> types() const override { return read(), offered; }
    std::vector<std::string> filePaths() const override {
        return read(), std::vector<std::string>{};
    }
    std::optional<std::string> text() const override { return read(), held; }
    std::optional<Data> png() const override { return read(), std::nullopt; }
    std::optional<Data> otherPicture() const override { return read(), std::nullopt; }
};

// The clipboard here, or another program's when `held` is set.
struct SharedPasteboard : MemoryPasteboard {
    std::shared_ptr<HeldElsewhere> held;
    std::shared_ptr<const ClipboardContents> elsewhere(std::uint64_t) const override {
        return held;
    }
};

Platform withSharedPasteboard() {
    Platform p = simPlatform();
    p.pasteboard = std::make_unique<SharedPasteboard>();
    return p;
}

// Screens: "mac/a" here, "pc1/x" and "pc2/y" on two connected PCs. Lines to the PCs are
// recorded; data-link lines are answered as written unless `failWrites` says otherwise.
struct AppClipboardTest : ::testing::Test, test::AppFixture {
    std::unique_ptr<App> app = make({"--no-camera"}, withSharedPasteboard());
    std::vector<std::string> sent;
    bool failWrites = false;
    MemoryPasteboard* pb = nullptr;

    QTemporaryDir data;

    AppClipboardTest() {
        // Received files land in a folder of the test's own (each test runs alone, so the
        // inbox is placed here when first asked for).
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        Layout l;
        l.screens = {screen("mac/a", 1), screen("pc1/x", 2, "pc1"), screen("pc2/y", 3, "pc2")};
        app->setLayout(l);
        app->connected = {"pc1", "pc2"};
        app->postLine = [this](const std::string& line, const std::string& pc) {
            sent.push_back(pc + ": " + line);
        };
        app->postDataLine = [this](std::string line, const std::string& pc,
                                   std::function<void(bool)> done) {
            sent.push_back(pc + ": " + line.substr(0, 40));
            if (done)
                done(!failWrites);
        };
        pb = dynamic_cast<MemoryPasteboard*>(&app->pasteboard());
    }

    // Keys from one screen to another, as the focus state machine would move them.
    void keys(const std::string& from, const std::string& to) {
        app->apply({Router::Effect::keys(from, to)});
    }
    // Waits for the clipboard's queue to hand its result back.
    void settle(std::size_t lines) {
        QElapsedTimer t;
        t.start();
        while (sent.size() < lines && t.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::processEvents();
    }
    // Runs the main thread's events for a while, for steps that should do nothing.
    void pump(int ms = 150) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    void arrive(const std::string& pc, std::optional<Clip> clip) {
        app->clipArrived(pc, std::move(clip));
        pump();
    }
    std::string note() const { return app->hud.note().value_or(""); }
    ~AppClipboardTest() override { qunsetenv("XDG_DATA_HOME"); }
};

TEST_F(AppClipboardTest, PushesOncePerChangeAndNeverBackToWhereItCameFrom) {
    pb->setText("hello");
    keys("mac/a", "pc1/x");
    settle(1);
    EXPECT_EQ(sent, std::vector<std::string>{"pc1: " + Wire::setClip(Clip::text("hello"))});
    keys("pc1/x", "mac/a"); // pc1 is asked for its clipboard
    keys("mac/a", "pc1/x");
    pump();
    EXPECT_EQ(sent.size(), 3u) << "the unchanged clipboard is not sent again";

    // pc1 answers; its clip lands here and is not sent back to it, but goes to pc2.
    arrive("pc1", Clip::text("from pc1"));
    EXPECT_EQ(pb->text(), "from pc1");
    sent.clear();
    keys("mac/a", "pc1/x");
    pump();
    EXPECT_TRUE(sent.empty());
    keys("mac/a", "pc2/y");
    settle(1);
    EXPECT_EQ(sent, std::vector<std::string>{"pc2: " + Wire::setClip(Clip::text("from pc1"))});
}

TEST_F(AppClipboardTest, FromOnePCToAnother) {
    struct Case {
        const char* name;
        bool bGone;
        std::vector<std::string> lines; // after "r" and "C" to pc1
        std::optional<std::string> here;
    };
    const Case cases[] = {
        {"passed on", false, {"pc2: " + Wire::setClip(Clip::text("t"))}, std::nullopt},
        {"lands here when B left", true, {}, "t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sent.clear();
        pb->setText("");
        app->connected = {"pc1", "pc2"};
        keys("pc1/x", "pc2/y");
        EXPECT_EQ(sent, (std::vector<std::string>{"pc1: r", "pc1: C"}));
        if (c.bGone)
            app->connected = {"pc1"};
        sent.clear();
        arrive("pc1", Clip::text("t"));
        EXPECT_EQ(sent, c.lines);
        EXPECT_EQ(pb->text(), c.here.value_or(""));
    }
}

TEST_F(AppClipboardTest, RepliesThatChangeNothing) {
    struct Case {
        const char* name;
        bool ask;
        std::optional<Clip> clip;
        bool picturesOn;
        bool copyMeanwhile;
    };
    const Case cases[] = {
        {"no content", true, std::nullopt, true, false},
        {"not asked", false, Clip::text("x"), true, false},
        {"pictures off", true, Clip::image({1, 2, 3}), false, false},
        {"copied here since asking", true, Clip::text("x"), true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app->prefs.setClipPictures(c.picturesOn);
        pb->setText("mine");
        if (c.ask)
            keys("pc1/x", "mac/a");
        if (c.copyMeanwhile)
            pb->setText("newer");
        app->hud.setNote(std::nullopt);
        const long count = pb->changeCount();
        arrive("pc1", c.clip);
        EXPECT_EQ(pb->changeCount(), count);
        EXPECT_TRUE(app->pendingClip.empty());
        EXPECT_EQ(note(), "");
    }
}

TEST_F(AppClipboardTest, NotesOfAPush) {
    struct Case {
        const char* name;
        std::size_t size; // a text of this many bytes, or a picture when png
        bool png;
        bool written;
        std::string note;
    };
    const Case cases[] = {
        {"text: none", 5, false, true, ""},
        {"2,000,000 bytes: no sending note", 2'000'000, false, true, ""},
        {"one byte more", 2'000'001, false, true, "Sending text (2000001 chars) to 2 · PC pc1…"},
        {"picture", 2048, true, true, "Picture (2 KB) → 2 · PC pc1. Paste there."},
        {"picture not written", 2048, true, false, "Picture (2 KB) not sent to 2 · PC pc1."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        failWrites = !c.written;
        if (c.png)
            pb->setPng(Pasteboard::Data(c.size, 7));
        else
            pb->setText(std::string(c.size, 'a'));
        app->hud.setNote(std::nullopt);
        sent.clear();
        keys("mac/a", "pc1/x");
        settle(1);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(note(), c.note);
        // A failed push is offered again at the next hand-over; a done one is not.
        sent.clear();
        keys("mac/a", "pc1/x");
        c.written ? pump() : settle(1);
        EXPECT_EQ(sent.size(), c.written ? 0u : 1u);
    }
}

// A push that is still going out when the hold is over no longer holds the release and the ask:
// a slow link keeps the ask behind the push itself.
TEST_F(AppClipboardTest, ALookBackDuringABigPushAsksOnlyOnceThePushIsOut) {
    std::vector<std::function<void(bool)>> pushes;
    app->postDataLine = [&](std::string line, const std::string& pc,
                            std::function<void(bool)> done) {
        sent.push_back(pc + ": " + line.substr(0, 2));
        if (done)
            pushes.push_back(std::move(done));
    };
    std::vector<std::function<void()>> holds;
    app->later = [&](double secs, std::function<void()> fn) {
        if (secs == ClipOrder::hold)
            holds.push_back(std::move(fn));
    };
    struct Case {
        const char* name;
        std::optional<bool> written; // still on its way when none
    };
    for (const Case c : {Case{"written", true}, Case{"failed", false}, Case{"slow", {}}}) {
        SCOPED_TRACE(c.name);
        sent.clear();
        pushes.clear();
        holds.clear();
        pb->setText(std::string(5'000'000, c.name[0]));
        keys("mac/a", "pc1/x");
        keys("pc1/x", "mac/a"); // straight back while the push is still being encoded
        settle(1);
        pump();
        EXPECT_EQ(sent, std::vector<std::string>{"pc1: c "});
        ASSERT_EQ(pushes.size(), 1u);
        ASSERT_EQ(holds.size(), 1u);
        if (c.written)
            pushes[0](*c.written);
        else
            holds[0]();
        EXPECT_EQ(sent, (std::vector<std::string>{"pc1: c ", "pc1: r", "pc1: C"}));
        // The PC's answer to that ask is its copy of the push, or what it had: either lands.
        arrive("pc1", Clip::text("answer"));
        EXPECT_EQ(pb->text(), "answer");
    }
}

TEST_F(AppClipboardTest, ContentThatStaysIsToldOncePerChange) {
    pb->set({{"text/plain", "pw"}, {"x-kde-passwordManagerHint", "secret"}});
    keys("mac/a", "pc1/x");
    EXPECT_EQ(note(), "Clipboard: a password stays on this computer");
    app->hud.setNote(std::nullopt);
    keys("mac/a", "pc1/x");
    pump();
    EXPECT_EQ(note(), "");
    EXPECT_TRUE(sent.empty());
}

// Names refused here, or a numbered series used up, leave files out: they are not counted.
TEST_F(AppClipboardTest, FilesFromAPCAreToldAsStored) {
    auto files = [](std::vector<std::string> names) {
        std::vector<ClipFile> out;
        for (std::string& n : names)
            out.push_back({std::move(n), {'x'}});
        return Clip::files(std::move(out));
    };
    struct Case {
        Clip clip;
        std::string note, log;
    };
    const Case cases[] = {
        {files({"a.txt"}), "1 file (a.txt) from the PC. Paste in your file manager.",
         "1 file (a.txt)"},
        {files({"b.txt", ".hidden", "b.txt"}),
         "2 files from the PC. Paste in your file manager. 1 more could not be stored.",
         "2 files, 1 not stored"},
        {files({".a", ".b"}), "2 files from the PC could not be stored.", "0 files, 2 not stored"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log);
        keys("pc1/x", "mac/a");
        arrive("pc1", c.clip);
        EXPECT_EQ(note(), c.note);
        EXPECT_EQ(logged().back(), "clipboard pc1 → mac/a: " + c.log);
    }
}

// Asking another program waits for it: the push asks it on the clipboard's queue and goes on
// here with what it got.
TEST_F(AppClipboardTest, AnotherProgramsClipboardIsReadAwayFromTheMainThread) {
    struct Case {
        std::vector<std::string> offered;
        std::vector<std::string> lines;
        std::string note;
    };
    const Case cases[] = {
        {{"text/plain"}, {"pc1: " + Wire::setClip(Clip::text("theirs"))}, ""},
        {{"text/plain", ClipboardContents::concealedType},
         {},
         "Clipboard: a password stays on this computer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        auto held = std::make_shared<HeldElsewhere>();
        held->offered = c.offered;
        held->held = "theirs";
        static_cast<SharedPasteboard*>(pb)->held = held;
        pb->setText("not this"); // a new change: offered again
        sent.clear();
        app->hud.setNote(std::nullopt);
        keys("mac/a", "pc1/x");
        c.lines.empty() ? pump() : settle(1);
        EXPECT_EQ(sent, c.lines);
        EXPECT_EQ(note(), c.note);
        // Sent or not, the push holds up nothing decided after it.
        sent.clear();
        keys("pc1/x", "mac/a");
        EXPECT_EQ(sent, (std::vector<std::string>{"pc1: r", "pc1: C"}));
        EXPECT_GT(held->reads, 0);
        EXPECT_EQ(held->readsOnMain, 0);
    }
}

struct AppClipboardHubTest : ::testing::Test, test::AppFixture {
    ~AppClipboardHubTest() override { qunsetenv("HELMVANTOR_HUB_STALL_MS"); }
};

// Files pushed by focus to a PC whose data link never reads: one is stuck going out and only
// the newest waits behind it, each push replacing the one before; a push that does not fit
// beside the stuck one is not read and is told once. The bound drops no link (a link that
// reads nothing goes by the stall rule, switched off here), and what waited is given back once
// the PC is gone.
TEST_F(AppClipboardHubTest, FocusPushesToAPCThatNeverReadsStopAtTheBound) {
    qputenv("HELMVANTOR_HUB_STALL_MS", "600000"); // only the bound could drop the link
    constexpr int pushes = 6;
    struct Case {
        std::uint64_t bound;
        int replaced, refused;
    };
    for (const Case& c : {Case{Hub::maxWaiting, pushes - 2, 0}, Case{100'000'000, 0, pushes - 1}}) {
        SCOPED_TRACE(c.bound);
        const int replacedBefore = countLogged("clipboard → pc1: replaced by a newer clip");
        const int refusedBefore = countLogged("clipboard → pc1: not sent, ");
        auto app = make({"--test-port", "0", "--no-camera"});
        app->linkBudget = std::make_shared<LinkBudget>(c.bound);
        app->applicationDidFinishLaunching();
        auto ctl = test::pairedAgent(*app, "pc1");
        ASSERT_TRUE(ctl);
        fake::FakeAgent data("pc1");
        ASSERT_TRUE(data.connect(app->hub().listeningPort()) && data.login(ctl->secret, "data"));
        data.stopReading();
        Layout l;
        l.screens = {screen("mac/a", 1), screen("pc1/x", 2, "pc1")};
        app->setLayout(l);
        std::vector<std::string> notes;
        QObject::connect(&app->hud, &HUDModel::changed, [&] {
            if (auto n = app->hud.note(); n && (notes.empty() || notes.back() != *n))
                notes.push_back(*n);
        });
        QTemporaryDir dir;
        const std::string file = dir.path().toStdString() + "/clip.bin";
        std::ofstream(file, std::ios::binary) << std::string(40'000'000, 'x');
        const std::uint64_t line = Wire::setClipSize("cf ", {8, 40'000'000});
        const std::uint64_t sealed = Sealer::sealedSize(line) + 1;
        std::uint64_t most = 0;
        auto runUntil = [&](auto done) {
            QElapsedTimer t;
            t.start();
            while (!done() && t.elapsed() < 20000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
                ctl->keepAlive();
                most = std::max(most, app->linkBudget->waiting("pc1"));
            }
            return done();
        };
        const std::string why = "more than " + megabytes(c.bound);
        for (int i = 0; i < pushes; ++i) {
            app->pasteboard().setFiles({file});
            app->apply({Router::Effect::keys("mac/a", "pc1/x")});
            // Sealed and stuck, or waiting behind that one, or refused.
            runUntil([&] {
                return app->linkBudget->waiting("pc1") >= (i == 0 ? sealed : sealed + line) ||
                       (i > 0 && countLogged("clipboard → pc1: not sent, ") >= refusedBefore + i);
            });
            app->apply({Router::Effect::keys("pc1/x", "mac/a")});
        }
        EXPECT_LE(most, sealed + line + 1000); // and a few asks
        EXPECT_EQ(countLogged("clipboard → pc1: replaced by a newer clip") - replacedBefore,
                  c.replaced);
        EXPECT_EQ(countLogged("clipboard → pc1: not sent, " + why) - refusedBefore, c.refused);
        EXPECT_EQ(
            std::count_if(notes.begin(), notes.end(),
                          [](const std::string& n) { return n.find(" not sent ") != n.npos; }),
            c.refused ? 1 : 0);
        if (c.refused) {
            EXPECT_NE(std::find(notes.begin(), notes.end(),
                                "1 file (clip.bin) not sent to 2 · PC pc1: " + why +
                                    " is waiting for it."),
                      notes.end());
        }
        EXPECT_EQ(countLogged("agent pc1 data link dropped"), 0);
        data.abortive();
        EXPECT_TRUE(runUntil([&] { return app->linkBudget->waiting("pc1") == 0; }));
    }
}

// A PC that reads its data link slowly but steadily is sent three files, 2 s apart: the newest
// arrives whole and the link stays. The one going out finishes, the one waiting behind it is
// replaced by the newer clip, whether pushed by focus or passed on from another PC. At a tenth
// of the sizes (9 MB files, a 30 MB bound) and a rate that keeps the first file going out while
// the third is decided, as 90 MB files do at 4 MB/s beside 300 MB.
TEST_F(AppClipboardHubTest, ASlowPCGetsTheNewestClipWholeAndKeepsItsLink) {
    constexpr std::uint64_t bound = 30'000'000;
    constexpr std::size_t fileBytes = 9'000'000;
    constexpr double rate = 2'000'000;
    for (const bool passedOn : {false, true}) {
        SCOPED_TRACE(passedOn ? "the last from another PC" : "three pushes by focus");
        auto lost = [&] {
            return countLogged("agent pc1 data link dropped") +
                   countLogged("clipboard → pc1: not sent");
        };
        const int lostBefore = lost();
        const int replacedBefore = countLogged("clipboard → pc1: replaced by a newer clip");
        auto app = make({"--test-port", "0", "--no-camera"});
        app->linkBudget = std::make_shared<LinkBudget>(bound);
        app->applicationDidFinishLaunching();
        auto ctl = test::pairedAgent(*app, "pc1");
        auto other = test::pairedAgent(*app, "pc2");
        ASSERT_TRUE(ctl && other);
        fake::FakeAgent data("pc1");
        ASSERT_TRUE(data.connect(app->hub().listeningPort()) && data.login(ctl->secret, "data"));
        Layout l;
        l.screens = {screen("mac/a", 1), screen("pc1/x", 2, "pc1"), screen("pc2/y", 3, "pc2")};
        app->setLayout(l);
        QTemporaryDir dir;
        auto sum = [](const auto& bytes) {
            return hex(sha256({reinterpret_cast<const char*>(bytes.data()), bytes.size()}).data(),
                       32);
        };
        std::vector<std::string> files, sums;
        for (char fill : {'a', 'b', 'c'}) {
            files.push_back(dir.path().toStdString() + "/" + fill + ".bin");
            const std::string bytes(fileBytes, fill);
            std::ofstream(files.back(), std::ios::binary) << bytes;
            sums.push_back(sum(bytes));
        }
        std::string reply = Wire::setClip(Clip::files({{"c.bin", Bytes(fileBytes, 'c')}}));
        reply.insert(reply.find(' '), " 1");
        std::vector<std::string> lines; // what pc1's data link was sent, still sealed
        std::size_t clips = 0;
        QElapsedTimer pings;
        pings.start();
        auto run = [&](int ms, auto done) {
            QElapsedTimer t;
            t.start();
            while (!done() && t.elapsed() < ms) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                ctl->keepAlive();
                while (auto line = other->readSealed(1))
                    if (*line == Wire::askClip)
                        other->sendSealed(reply);
                if (pings.elapsed() > 1000) { // its lines are read above, not skipped
                    other->sendSealed(Wire::ping);
                    pings.restart();
                }
                for (std::string& line : data.readLinesAtRate(rate)) {
                    clips += line.size() >= Hub::longLine;
                    lines.push_back(std::move(line));
                }
            }
        };
        auto wait = [&](int ms) { run(ms, [] { return false; }); };
        for (int i = 0; i < 2; ++i) {
            app->pasteboard().setFiles({files[i]});
            app->apply({Router::Effect::keys("mac/a", "pc1/x")});
            wait(1000);
            app->apply({Router::Effect::keys("pc1/x", "mac/a")});
            wait(1000);
        }
        app->pasteboard().setFiles({files[2]});
        app->apply({Router::Effect::keys("mac/a", passedOn ? "pc2/y" : "pc1/x")});
        if (passedOn) {
            wait(300);
            app->apply({Router::Effect::keys("pc2/y", "pc1/x")}); // pc2's clip goes to pc1
        }
        run(60000, [&] { return clips == 2; });
        wait(500);
        std::vector<std::string> got; // the sha256 of each file in them
        for (const std::string& line : lines) {
            const std::string plain = data.inn.open(line).value_or("?");
            auto parts = Wire::split(plain);
            if (plain == Wire::askClip)
                continue;
            auto clip = Wire::decode(parts[0], {parts.begin() + 1, parts.end()});
            auto* f = clip ? std::get_if<Clip::Files>(&clip->value) : nullptr;
            got.push_back(f && f->files.size() == 1 ? sum(f->files[0].data) : "not a whole file");
        }
        EXPECT_EQ(got, (std::vector<std::string>{sums[0], sums[2]}));
        EXPECT_TRUE(data.connected());
        EXPECT_EQ(lost(), lostBefore);
        EXPECT_EQ(countLogged("clipboard → pc1: replaced by a newer clip") - replacedBefore, 1);
        EXPECT_EQ(app->linkBudget->waiting("pc1"), 0u);
    }
}

} // namespace
