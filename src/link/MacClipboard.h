#pragma once

#include "link/Clip.h"
#include "platform/Pasteboard.h"

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

// This computer's side of the clipboard hand-over: reading the pasteboard into a clip under
// the rules of what may leave, writing a clip from a PC onto it (received files stored in the
// inbox first), and deleting old received files.
//
// The pasteboard is touched on the main thread only. Reading is split so that the slow part
// can run elsewhere: `look` takes the pasteboard's metadata (types, file paths and sizes, the
// reason something stays), `load` reads the files. When another program holds the contents,
// `look` only takes a reader of them and `complete` does the looking, elsewhere: asking that
// program waits for it. Likewise `store` writes received files and `offer` puts the result on
// the pasteboard.
namespace helm::MacClipboard {

// Types marking content that never leaves this computer.
extern const std::vector<std::string> secretTypes;

// $XDG_DATA_HOME/com.pardwell.pivmor/Received.
std::string inbox();
// Creates the folder and its missing parents; the inbox itself is kept private (0700).
void makeInbox(const std::string& inboxDir);

struct Result {
    std::optional<Clip> clip;
    std::optional<std::string> skipped; // a short lower-case reason, shown after "Clipboard: "
};

struct FileToRead {
    std::string path;
    std::string name;       // the last path component, NFC
    std::uint64_t size = 0; // as stated when looked at; a file grown past it is not read
};

struct Look {
    Result ready;                  // text, a picture, or a reason, with nothing left to read
    std::vector<FileToRead> files; // files to read, in pasteboard order
    bool isFiles = false;          // the pasteboard held files: the clip is files or nothing
    // Contents another program holds, not looked at yet, and whether pictures may be fetched.
    std::shared_ptr<const ClipboardContents> elsewhere;
    bool pictures = true;
    // That program took too long to hand its contents over: nothing of them goes, and
    // ready.skipped says why.
    bool late = false;
};

// The bytes of a regular file; nothing when it is not one, cannot be read or holds more than
// `most` bytes (a file that grew since its size was counted is not sent cut short). Opened
// without blocking: a FIFO put in a file's place cannot hang the read. Safe on any thread.
std::optional<Bytes> readRegular(const std::string& path, std::uint64_t most);

// pictures: whether picture bytes may be fetched at all (the user may have switched pictures
// off, and fetching one from another program is slow).
Look look(const Pasteboard& pasteboard, bool pictures = true);
// A look at what another program holds; away from the main thread. Any other look is
// returned as it is. When that program did not hand its contents over in time, the look holds
// nothing but the reason.
Look complete(Look look);
// Reads the files of a look, completing it first; away from the main thread.
Result load(Look look);
// The length of the line a completed look goes out as, known before its files are read (a
// file that shrinks since makes it shorter, one that grows is not read).
std::size_t lineSize(const Look& look);
// Both steps at once, on the calling thread.
Result read(const Pasteboard& pasteboard);

// Writes the files into a new dated folder under the inbox; the paths written, in order.
// Safe on any thread.
std::vector<std::string> store(const std::vector<ClipFile>& files, const std::string& inboxDir,
                               std::time_t now);
// The summary of received files as stored: the files written, by the names they were given.
std::string storedSummary(const std::vector<std::string>& stored);
// Puts a text or picture clip on the pasteboard, or the stored paths for files.
void offer(const Clip& clip, const std::vector<std::string>& stored, Pasteboard& pasteboard);
// Both steps at once, on the main thread.
void write(const Clip& clip, Pasteboard& pasteboard);

// When an entry was made: its creation time, else (file systems that keep none) its last
// change; nothing when neither is known.
std::optional<std::time_t> madeAt(const struct statx& sx);
// Deletes the entries of the inbox made more than a day before now.
void tidyInbox(const std::string& inboxDir, std::time_t now);
void tidyInbox();

} // namespace helm::MacClipboard
