#include "platform/PasteboardFormats.h"

#include <gtest/gtest.h>

using namespace helm::pasteboardFormats;
using Paths = std::vector<std::string>;

TEST(PasteboardFormats, FileListsFromOtherPrograms) {
    struct Case {
        const char* name;
        std::string text;
        bool gnome;
        Paths paths;
    };
    const Case cases[] = {
        {"escapes and CR LF",
         "file:///a%20b/%C3%BC.txt\r\nfile://localhost/c\r\n",
         false,
         {"/a b/ü.txt", "/c"}},
        {"comments, other schemes and hosts left out",
         "# x\nhttp://h/p\nfile://host/p\nfile:///ok\n",
         false,
         {"/ok"}},
        {"bad escapes and NUL left out", "file:///a%2\nfile:///a%00b\nfile:///zz%g1\n", false, {}},
        {"a file manager's copy", "copy\nfile:///one\nfile:///two", true, {"/one", "/two"}},
        {"a file manager's list needs its verb", "file:///one\nfile:///two", true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.gnome ? pathsFromGnomeFiles(c.text) : pathsFromUriList(c.text), c.paths);
    }
    const Paths odd = {"/with space", "/percent%41", "/line\nbreak", "/ü#?"};
    EXPECT_EQ(pathsFromUriList(uriListOf(odd)), odd);
    EXPECT_EQ(pathsFromGnomeFiles(gnomeFilesOf(odd)), odd);
}
