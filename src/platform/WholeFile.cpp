#include "platform/WholeFile.h"

#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

namespace helm::wholeFile {

namespace {

std::string systemWords(int error) {
    return std::strerror(error);
}

WriteFailure failure(const std::string& path, const char* step, int error) {
    return {path + ": " + step + ": " + systemWords(error), reason(error)};
}

// Creates a new file beside path under a name of its own; -1 with errno when it can't.
int createBeside(const std::string& path, unsigned mode, std::string& temp) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (int tries = 0; tries < 16; ++tries) {
        char tag[24];
        std::snprintf(tag, sizeof tag, "-%016llx", static_cast<unsigned long long>(random()));
        temp = folder + "." + name + tag;
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              static_cast<mode_t>(mode));
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC; // nothing taken and no error: the disk has no room
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The rename is on the disk only once its folder is; a folder that can't be synced (some file
// systems refuse) still holds the whole new file.
void syncFolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

} // namespace

std::optional<WriteFailure> write(const std::string& path, std::string_view bytes, unsigned mode) {
    std::string temp;
    const int fd = createBeside(path, mode, temp);
    if (fd < 0) {
        return failure(path, "create", errno);
    }
    const char* step = nullptr;
    if (!writeAll(fd, bytes)) {
        step = "write";
    } else if (::fsync(fd) != 0) {
        step = "sync"; // delayed allocation reports a full disk here
    }
    int error = step != nullptr ? errno : 0;
    if (::close(fd) != 0 && step == nullptr) {
        step = "close"; // network file systems report write errors here
        error = errno;
    }
    if (step == nullptr && ::rename(temp.c_str(), path.c_str()) != 0) {
        step = "rename";
        error = errno;
    }
    if (step != nullptr) {
        ::unlink(temp.c_str());
        return failure(path, step, error);
    }
    syncFolderOf(path);
    return std::nullopt;
}

StoredText read(const std::string& path, std::uint64_t most) {
    // Not blocking: a pipe put in the file's place must not hold the reader up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            return {StoredText::Status::absent, {}, {}};
        }
        return {StoredText::Status::failed, {}, path + ": " + systemWords(errno)};
    }
    StoredText out{StoredText::Status::failed, {}, {}};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        out.problem = path + ": " + systemWords(errno);
    } else if (!S_ISREG(st.st_mode)) {
        out.problem = path + " is not a file";
    } else if (static_cast<std::uint64_t>(st.st_size) > most) {
        out.problem = path + " is " + megabytes(static_cast<std::uint64_t>(st.st_size)) +
                      ", more than any real one (" + megabytes(most) + " at most)";
    } else {
        // The size may change while it is read; the bound holds all the same.
        std::string text(static_cast<std::size_t>(st.st_size) + 1, '\0');
        std::size_t got = 0;
        for (;;) {
            if (got == text.size()) {
                text.resize(std::min<std::uint64_t>(text.size() * 2, most + 1));
                if (got == text.size()) {
                    break;
                }
            }
            const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                if (n < 0) {
                    out.problem = path + ": " + systemWords(errno);
                }
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        if (out.problem.empty() && got > most) {
            out.problem = path + " grew past " + megabytes(most) + " while read";
        } else if (out.problem.empty()) {
            text.resize(got);
            out = {StoredText::Status::ok, std::move(text), {}};
        }
    }
    ::close(fd);
    return out;
}

std::string reason(int error) {
    switch (error) {
    case ENOSPC:
        return "the disk is full";
    case EDQUOT:
        return "your disk quota is used up";
    case EROFS:
        return "the disk is read-only";
    case EIO:
        return "the disk reported an error";
    case EACCES:
    case EPERM:
        return "writing there isn't allowed";
    default:
        break;
    }
    std::string words = systemWords(error);
    if (!words.empty() && words[0] >= 'A' && words[0] <= 'Z') {
        words[0] = static_cast<char>(words[0] - 'A' + 'a');
    }
    return words;
}

} // namespace helm::wholeFile
