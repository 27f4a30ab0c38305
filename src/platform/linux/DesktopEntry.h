#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// The parts of the desktop entry format the autostart entry needs: the [Desktop Entry] group's
// keys, string escapes and the Exec line's quoting.
namespace helm::DesktopEntry {

// The keys of the [Desktop Entry] group with their values unescaped; other groups, comments
// and localised keys are skipped.
std::map<std::string, std::string> read(const std::string& text);
// A string value escaped for the file: backslash, newline, tab and carriage return.
std::string escape(const std::string& value);
// One Exec argument: quoted when it holds a reserved character, "%" doubled.
std::string quoteArg(const std::string& arg);
// An Exec value split into its arguments, quotes and "%%" undone (other field codes are kept
// as written); nothing when a quote is left open.
std::optional<std::vector<std::string>> splitExec(const std::string& exec);

} // namespace helm::DesktopEntry
