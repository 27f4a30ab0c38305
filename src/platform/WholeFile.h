#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace helm {

// Why a file was not written.
struct WriteFailure {
    std::string problem; // for the log: the file, the step that failed and the system's words
    std::string reason;  // for the user: "the disk is full"
};

// A stored file's text as read, or why it could not be.
struct StoredText {
    enum class Status { absent, ok, failed };
    Status status = Status::absent;
    std::string text;    // when ok
    std::string problem; // when failed
};

// Files the program keeps between runs, written whole or not at all and read within a bound.
namespace wholeFile {

// Replaces the file at path with bytes: a new file beside it is written, flushed to the disk
// and renamed over the old one, so a full disk, a quota, a read-only or failing disk leaves the
// old file exactly as it was (and no new file behind). New files get mode, less the umask.
std::optional<WriteFailure> write(const std::string& path, std::string_view bytes,
                                  unsigned mode = 0600);

// Reads a regular file. One larger than most bytes is refused without being read, since no
// real one is that large and reading it would hold up whoever asked.
StoredText read(const std::string& path, std::uint64_t most);

// The system's error number in the user's words: "the disk is full".
std::string reason(int error);

} // namespace wholeFile
} // namespace helm
