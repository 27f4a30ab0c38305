#include "link/MacClipboard.h"

#include "link/Wire.h"
#include "platform/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

namespace helm::MacClipboard {

namespace {

constexpr std::uint64_t limit = Wire::maxClipBytes;

std::string nfc(const std::string& s) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* n = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status) || n == nullptr)
        return s;
    icu::UnicodeString out = n->normalize(icu::UnicodeString::fromUTF8(s), status);
    if (U_FAILURE(status))
        return s;
    std::string text;
    return out.toUTF8String(text);
}

std::string lastComponent(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    auto slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

// Reads at most `size` bytes of a regular file; nothing when it is not one or cannot be read.
// O_NONBLOCK: a path swapped for a FIFO since it was looked at must not hang the read.
std::optional<Bytes> readRegular(const std::string& path, std::uint64_t size) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    Bytes data(static_cast<std::size_t>(size));
    std::size_t got = 0;
    while (got < data.size()) {
        ssize_t n = ::read(fd, data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break; // shorter now than stated: what is there
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    data.resize(got);
    return data;
}

std::string dateFolder(std::time_t now) {
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H-%M-%SZ", &utc);
    return text;
}

// "name (n).ext": the number before the last dot that is not the first character.
std::string numbered(const std::string& name, int n) {
    if (n == 1)
        return name;
    auto dot = name.rfind('.');
    std::string tag = " (" + std::to_string(n) + ")";
    if (dot == std::string::npos || dot == 0)
        return name + tag;
    return name.substr(0, dot) + tag + name.substr(dot);
}

bool writeAll(int fd, const Bytes& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the data under a temporary name and then gives it the first free name of the
// numbered series. Nothing here follows a link: the temporary file is created exclusively and
// the rename never replaces an existing entry.
std::optional<std::string> storeOne(int dir, const std::string& dirPath, const std::string& name,
                                    const Bytes& data) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    std::string temp;
    int fd = -1;
    for (int tries = 0; tries < 16 && fd < 0; ++tries) {
        char text[40];
        std::snprintf(text, sizeof text, ".part-%016llx",
                      static_cast<unsigned long long>(random()));
        temp = text;
        fd =
            ::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    if (fd < 0)
        return std::nullopt;
    bool ok = writeAll(fd, data);
    ok = ::close(fd) == 0 && ok;
    if (ok) {
        for (int n = 1; n <= 1000; ++n) {
            std::string candidate = numbered(name, n);
            if (::renameat2(dir, temp.c_str(), dir, candidate.c_str(), RENAME_NOREPLACE) == 0)
                return dirPath + "/" + candidate;
            if (errno != EEXIST)
                break;
        }
    }
    ::unlinkat(dir, temp.c_str(), 0);
    return std::nullopt;
}

// Creates the folder and its missing parents; the inbox itself is kept private.
void makeInbox(const std::string& inboxDir) {
    std::error_code ec;
    std::filesystem::path parent = std::filesystem::path(inboxDir).parent_path();
    std::filesystem::create_directories(parent, ec);
    if (::mkdir(inboxDir.c_str(), 0700) != 0 && errno == EEXIST) {
        struct stat st {};
        if (::lstat(inboxDir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
            (st.st_mode & 0777) != 0700)
            ::chmod(inboxDir.c_str(), 0700);
    }
}

} // namespace

const std::vector<std::string> secretTypes = {
    "org.nspasteboard.ConcealedType", "org.nspasteboard.TransientType",
    "org.nspasteboard.AutoGeneratedType", "com.agilebits.onepassword", "com.typeit4me.clipping"};

std::string inbox() {
    static const std::string dir = paths::dataHome() + "/com.pardwell.pivmor/Received";
    return dir;
}

Look look(const Pasteboard& pasteboard, bool pictures) {
    Look out;
    for (const std::string& type : pasteboard.types()) {
        for (const std::string& secret : secretTypes) {
            if (type == secret) {
                out.ready.skipped = "a password stays on this computer";
                return out;
            }
        }
    }
    if (std::vector<std::string> paths = pasteboard.filePaths(); !paths.empty()) {
        out.isFiles = true;
        std::uint64_t total = 0;
        int folders = 0;
        for (const std::string& path : paths) {
            struct stat st {};
            if (::stat(path.c_str(), &st) != 0)
                continue; // deleted since it was copied
            if (S_ISDIR(st.st_mode)) {
                ++folders;
                continue;
            }
            // Devices, FIFOs and sockets have no size to trust and may never end.
            if (!S_ISREG(st.st_mode))
                continue;
            total += static_cast<std::uint64_t>(st.st_size);
            if (total > limit) {
                out.files.clear();
                out.ready.skipped = "too big to hand over (over 100 MB)";
                return out;
            }
            out.files.push_back(
                {path, nfc(lastComponent(path)), static_cast<std::uint64_t>(st.st_size)});
        }
        if (folders > 0)
            out.ready.skipped = "folders aren't handed over yet";
        return out;
    }
    if (std::optional<std::string> text = pasteboard.text()) {
        if (text->size() <= limit)
            out.ready.clip = Clip::text(std::move(*text));
        else
            out.ready.skipped = "text too big to hand over";
        return out;
    }
    if (!pictures)
        return out;
    std::optional<Pasteboard::Data> png = pasteboard.png();
    if (!png)
        png = pasteboard.otherPicture();
    if (png) {
        if (png->size() <= limit)
            out.ready.clip = Clip::image(std::move(*png));
        else
            out.ready.skipped = "picture too big to hand over";
    }
    return out;
}

Result load(Look look) {
    if (!look.isFiles)
        return std::move(look.ready);
    std::vector<ClipFile> files;
    for (const FileToRead& f : look.files) {
        if (std::optional<Bytes> data = readRegular(f.path, f.size))
            files.push_back({f.name, std::move(*data)});
    }
    Result out;
    out.skipped = std::move(look.ready.skipped);
    if (!files.empty())
        out.clip = Clip::files(std::move(files));
    return out;
}

Result read(const Pasteboard& pasteboard) {
    return load(look(pasteboard));
}

std::vector<std::string> store(const std::vector<ClipFile>& files, const std::string& inboxDir,
                               std::time_t now) {
    makeInbox(inboxDir);
    std::string folder = inboxDir + "/" + dateFolder(now);
    ::mkdir(folder.c_str(), 0700);
    std::vector<std::string> written;
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0)
        return written;
    for (const ClipFile& f : files) {
        std::optional<std::string> name = Wire::safeName(f.name);
        if (!name)
            continue;
        if (auto path = storeOne(dir, folder, *name, f.data))
            written.push_back(*path);
    }
    ::close(dir);
    return written;
}

void offer(const Clip& clip, const std::vector<std::string>& stored, Pasteboard& pasteboard) {
    if (auto* t = std::get_if<Clip::Text>(&clip.value)) {
        pasteboard.setText(t->text);
    } else if (auto* i = std::get_if<Clip::Image>(&clip.value)) {
        // Offered as it came: decoding a PC's picture here would trust its header's size.
        pasteboard.setPng(i->png);
    } else {
        pasteboard.setFiles(stored);
    }
}

void write(const Clip& clip, Pasteboard& pasteboard) {
    std::vector<std::string> stored;
    if (auto* f = std::get_if<Clip::Files>(&clip.value))
        stored = store(f->files, inbox(), std::time(nullptr));
    offer(clip, stored, pasteboard);
}

std::optional<std::time_t> madeAt(const struct statx& sx) {
    if (sx.stx_mask & STATX_BTIME)
        return static_cast<std::time_t>(sx.stx_btime.tv_sec);
    if (sx.stx_mask & STATX_MTIME)
        return static_cast<std::time_t>(sx.stx_mtime.tv_sec);
    return std::nullopt;
}

void tidyInbox(const std::string& inboxDir, std::time_t now) {
    int dir = ::open(inboxDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return;
    std::vector<std::string> old;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(inboxDir, ec)) {
        std::string name = entry.path().filename().string();
        struct statx sx {};
        if (::statx(dir, name.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME | STATX_MTIME, &sx) != 0)
            continue;
        std::optional<std::time_t> made = madeAt(sx);
        if (made && *made < now - 86400) // no date at all: kept
            old.push_back(entry.path().string());
    }
    ::close(dir);
    // remove_all deletes a link itself, never what it points to.
    for (const std::string& path : old)
        std::filesystem::remove_all(path, ec);
}

void tidyInbox() {
    tidyInbox(inbox(), std::time(nullptr));
}

} // namespace helm::MacClipboard
