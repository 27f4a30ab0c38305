#pragma once

#include <string>
#include <string_view>
#include <vector>

// How file lists and the password hint look on a Linux clipboard. Pure text work, shared by
// the desktop's clipboard and the in-memory one.
namespace helm::pasteboardFormats {

inline constexpr const char* uriList = "text/uri-list";
inline constexpr const char* gnomeFiles = "x-special/gnome-copied-files";
inline constexpr const char* passwordHint = "x-kde-passwordManagerHint";

// The local paths of the file: URLs in a URI list (one per line, "#" lines are comments),
// percent-decoded; other schemes, remote hosts and malformed escapes are left out.
std::vector<std::string> pathsFromUriList(std::string_view text);
// A file manager's copy: "copy" or "cut" on the first line, then URLs.
std::vector<std::string> pathsFromGnomeFiles(std::string_view text);
// The URI list of absolute paths, percent-encoded, lines ended by CR LF.
std::string uriListOf(const std::vector<std::string>& paths);
std::string gnomeFilesOf(const std::vector<std::string>& paths);
// The hint's value marks a secret.
bool isSecretHint(std::string_view value);

} // namespace helm::pasteboardFormats
