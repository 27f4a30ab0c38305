#include "link/MacClipboard.h"
#include "platform/PasteboardFormats.h"
#include "platform/sim/MemoryPasteboard.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

using namespace helm;
namespace fs = std::filesystem;

namespace {

struct MacClipboardTest : ::testing::Test {
    QTemporaryDir tmp;
    std::string dir = tmp.path().toStdString();

    // A file of that size; sparse, so a hundred megabytes cost nothing on disk.
    std::string file(const std::string& name, off_t size = 3) {
        std::string path = dir + "/" + name;
        std::ofstream(path) << std::string(static_cast<std::size_t>(std::min<off_t>(size, 3)), 'x');
        if (size > 3) {
            EXPECT_EQ(::truncate(path.c_str(), size), 0);
        }
        return path;
    }
    std::string folder(const std::string& name) {
        fs::create_directories(dir + "/" + name);
        return dir + "/" + name;
    }
    static MemoryPasteboard::Items files(const std::vector<std::string>& paths) {
        return {{pasteboardFormats::uriList, pasteboardFormats::uriListOf(paths)}};
    }
};

std::string describe(const MacClipboard::Result& r) {
    std::string out;
    if (!r.clip) {
        out = "none";
    } else if (auto* t = std::get_if<Clip::Text>(&r.clip->value)) {
        out = "text " + t->text;
    } else if (auto* i = std::get_if<Clip::Image>(&r.clip->value)) {
        out = "image " + std::to_string(i->png.size());
    } else {
        for (const ClipFile& f : std::get<Clip::Files>(r.clip->value).files)
            out += (out.empty() ? "" : ",") + f.name + "=" + std::to_string(f.data.size());
    }
    return out + " / " + r.skipped.value_or("-");
}

TEST_F(MacClipboardTest, ReadTakesTheFirstMatch) {
    const std::string a = file("a.txt"), big = file("big.bin", 60'000'000);
    const std::string rest = file("rest.bin", 40'000'000), more = file("more.bin", 40'000'001);
    const std::string gone = file("gone.txt"), sub = folder("sub");
    fs::remove(gone);
    const std::string fifo = dir + "/fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto with = [](MemoryPasteboard::Items items, MemoryPasteboard::Items more) {
        items.insert(more.begin(), more.end());
        return items;
    };
    struct Case {
        const char* name;
        MemoryPasteboard::Items items;
        std::string expect;
    };
    const Case cases[] = {
        {"concealed beside text and files",
         with(files({a}), {{"text/plain", "pw"}, {"x-kde-passwordManagerHint", "secret"}}),
         "none / a password stays on this computer"},
        {"another hint value is not a secret",
         {{"text/plain", "t"}, {"x-kde-passwordManagerHint", "public"}},
         "text t / -"},
        {"folder and file", files({sub, a}), "a.txt=3 / folders aren't handed over yet"},
        {"folders only", files({sub}), "none / folders aren't handed over yet"},
        {"exactly the limit", files({big, rest}), "big.bin=60000000,rest.bin=40000000 / -"},
        {"one byte more", files({big, more}), "none / too big to hand over (over 100 MB)"},
        {"a deleted file", files({gone, a}), "a.txt=3 / -"},
        {"devices and FIFOs refused", files({"/dev/zero", fifo, a}), "a.txt=3 / -"},
        {"files win over text", with(files({a}), {{"text/plain", "t"}}), "a.txt=3 / -"},
        {"text over a picture", {{"text/plain", "t"}, {"image/png", "png"}}, "text t / -"},
        {"a picture", {{"image/png", "png"}}, "image 3 / -"},
        {"nothing", {}, "none / -"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryPasteboard pb;
        pb.set(c.items);
        EXPECT_EQ(describe(MacClipboard::read(pb)), c.expect);
    }
}

TEST_F(MacClipboardTest, TextAtTheLimit) {
    MemoryPasteboard pb;
    pb.setText(std::string(100'000'000, 'a'));
    EXPECT_TRUE(MacClipboard::read(pb).clip);
    pb.setText(std::string(100'000'001, 'a'));
    EXPECT_EQ(MacClipboard::read(pb).skipped, "text too big to hand over");
}

TEST_F(MacClipboardTest, WriteStoresFilesSafely) {
    const std::string inbox = dir + "/inbox";
    const std::string outside = file("outside.txt");
    struct Case {
        const char* name;
        std::vector<std::string> names;
        std::vector<std::string> stored; // in the dated folder, in order
        std::time_t at;
        std::string folder;
    };
    const Case cases[] = {
        {"every name rejected",
         {".hidden", "", " \t", "a/.."},
         {},
         1'700'000'000,
         "2023-11-14T22-13-20Z"},
        {"same names numbered",
         {"a.txt", "a.txt", "noext", "noext"},
         {"a.txt", "a (2).txt", "noext", "noext (2)"},
         1'700'000'010,
         "2023-11-14T22-13-30Z"},
        {"a link in the way is not followed",
         {"link.txt"},
         {"link (2).txt"},
         1'700'000'020,
         "2023-11-14T22-13-40Z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dated = inbox + "/" + c.folder;
        fs::create_directories(dated);
        fs::create_symlink(outside, dated + "/link.txt");
        std::vector<ClipFile> clip;
        for (const auto& n : c.names)
            clip.push_back({n, {'n', 'e', 'w'}});
        auto paths = MacClipboard::store(clip, inbox, c.at);
        std::vector<std::string> names;
        for (const auto& p : paths) {
            names.push_back(fs::path(p).filename().string());
            EXPECT_EQ(fs::path(p).parent_path().string(), dated);
        }
        EXPECT_EQ(names, c.stored);
        std::ifstream in(outside);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "xxx");
        MemoryPasteboard pb;
        MacClipboard::offer(Clip::files(clip), paths, pb);
        EXPECT_EQ(pb.filePaths(), paths);
        EXPECT_EQ(pb.items().empty(), paths.empty());
    }
    struct stat st {};
    ASSERT_EQ(::stat(inbox.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(MacClipboardTest, TidyInboxDeletesWhatIsOverADayOld) {
    const std::string inbox = dir + "/inbox";
    const std::string outside = folder("outside");
    file("outside/keep.txt");
    const std::time_t before = std::time(nullptr);
    fs::create_directories(inbox + "/old/inner");
    fs::create_symlink(outside, inbox + "/link");
    const std::time_t after = std::time(nullptr);
    MacClipboard::tidyInbox(inbox, before + 86'399);
    EXPECT_TRUE(fs::exists(inbox + "/old"));
    MacClipboard::tidyInbox(inbox, after + 86'401);
    EXPECT_FALSE(fs::exists(inbox + "/old"));
    EXPECT_FALSE(fs::is_symlink(inbox + "/link"));
    EXPECT_TRUE(fs::exists(outside + "/keep.txt")) << "a link's target is never deleted";
    MacClipboard::tidyInbox(dir + "/none", after); // no inbox yet: nothing happens
}

TEST(MacClipboardDates, CreationTimeElseLastChange) {
    struct Case {
        unsigned mask;
        std::optional<std::time_t> made;
    } cases[] = {{STATX_BTIME | STATX_MTIME, 100}, {STATX_MTIME, 200}, {STATX_BTIME, 100}, {0, {}}};
    for (const Case& c : cases) {
        struct statx sx {};
        sx.stx_mask = c.mask;
        sx.stx_btime.tv_sec = 100;
        sx.stx_mtime.tv_sec = 200;
        EXPECT_EQ(MacClipboard::madeAt(sx), c.made) << c.mask;
    }
}

} // namespace
