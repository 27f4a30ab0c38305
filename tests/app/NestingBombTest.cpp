// Every reader of JSON from a file, the environment or a PC refuses text nested too deep to
// copy or write safely, with a line that says so, and leaves a stored file in place.
#include "app/DefaultsKeyValues.h"
#include "app/Log.h"
#include "app/SimDisplays.h"
#include "desk/Defaults.h"
#include "guide/Replay.h"
#include "guide/Script.h"
#include "link/Secret.h"
#include "overlays/draw/JumpsLoad.h"
#include "platform/DefaultsFile.h"
#include "platform/linux/FileSecretStore.h"
#include "platform/sim/MemorySecretStore.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

namespace helm {
namespace {

// A record with `value` under a key its reader ignores.
std::string withIgnored(const std::string& record, const std::string& value) {
    return "{\"ignored\":" + value + "," + record.substr(1);
}

std::string nested(int levels, const std::string& open, const std::string& close) {
    std::string text;
    for (int i = 0; i < levels; ++i)
        text += open;
    text += "1";
    for (int i = 0; i < levels; ++i)
        text += close;
    return text;
}

void write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(NestingBomb, EveryJsonReaderRefusesItWithALine) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    struct Reader {
        const char* name;
        // What the reader says of a record holding the value under a key it ignores.
        std::function<std::string(const std::string& value)> read;
        const char* says;
    };
    const Reader readers[] = {
        {"a recording's script.json",
         [&](const std::string& value) {
             write(root + "/script.json", withIgnored(Script{}.encode(), value));
             std::ostringstream out, err;
             EXPECT_EQ(Replay::run(root, out, err), 1);
             return err.str();
         },
         "doesn't decode (malformed JSON: nested deeper than 64 levels)"},
        {"defaults.json",
         [&](const std::string& value) {
             const std::string path = root + "/defaults.json";
             write(path, withIgnored("{\"onboarded\":true}", value));
             std::string said;
             Defaults d(std::make_unique<DefaultsFile>(path),
                        [&](const std::string& line) { said += line; });
             EXPECT_FALSE(d.value("onboarded"));
             // Set aside whole for the user, never written over.
             EXPECT_FALSE(std::filesystem::exists(path));
             EXPECT_TRUE(std::filesystem::exists(path + ".bad"));
             return said;
         },
         "defaults: unreadable (malformed JSON: nested deeper than 64 levels), kept as "},
        {"the keys kept in the keyring",
         [&](const std::string& value) {
             MemorySecretStore store;
             store.items["pc-keys"] = withIgnored(R"({"perPC":{},"legacyNames":[]})", value);
             Defaults memory;
             DefaultsKeyValues values(memory);
             std::string said;
             Secret(store, values, {}, [&](const std::string& line) { said += line; }).loadKeys({});
             return said;
         },
         "\"pc-keys\" doesn't decode (malformed JSON: nested deeper than 64 levels)"},
        {"secrets.json",
         [&](const std::string& value) {
             const std::string path = root + "/secrets.json";
             write(path, withIgnored(R"({"pc-keys":"{}"})", value));
             std::string problem;
             EXPECT_FALSE(FileSecretStore(path).items(&problem));
             return problem;
         },
         "secrets.json doesn't decode ("},
        {"HELMVANTOR_DISPLAYS",
         [&](const std::string& value) {
             setenv("HELMVANTOR_DISPLAYS", ("[" + value + "]").c_str(), 1);
             std::string said;
             LogRoute route([&](const std::string& line) { said += line; });
             EXPECT_FALSE(simDisplays());
             unsetenv("HELMVANTOR_DISPLAYS");
             return said;
         },
         "HELMVANTOR_DISPLAYS ignored: malformed JSON: nested deeper than 64 levels"},
        {"a jump recipe file",
         [&](const std::string& value) {
             std::string why;
             EXPECT_FALSE(
                 Jumps::decode(withIgnored(json::dump(Jumps::load()->toJson()), value), &why));
             return why;
         },
         "malformed JSON: nested deeper than 64 levels"},
    };
    const std::pair<const char*, std::string> bombs[] = {
        {"65 lists", nested(65, "[", "]")},
        {"200,000 lists", nested(200000, "[", "]")},
        {"100,000 objects", nested(100000, "{\"a\":", "}")},
    };
    for (const Reader& r : readers) {
        for (const auto& [bomb, value] : bombs) {
            SCOPED_TRACE(std::string(r.name) + ", " + bomb);
            const std::string said = r.read(value);
            EXPECT_NE(said.find(r.says), std::string::npos) << said;
        }
    }
}

} // namespace
} // namespace helm
