#pragma once

#include <string>

namespace helm {

// The log's file on disk, written with plain POSIX calls so that a line reaches the file even
// before anything else is set up, from any thread. Callers serialise their writes.
namespace LogFile {

// Creates the folder and any missing parents, each 0700; existing ones are fine.
void makeFolders(const std::string& folder);

// Appends text to the file at path, creating it 0600. Before writing, a file larger than
// maxBytes becomes the previous generation (path + ".1", replacing an older one). Never fails
// towards the caller: text that cannot be written (folder removed, disk full) is dropped.
void append(const std::string& path, const std::string& text, long long maxBytes);

} // namespace LogFile
} // namespace helm
