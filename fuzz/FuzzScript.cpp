// A recording's cue list is a file anyone can hand to the replay.
#include "guide/Replay.h"
#include "guide/Script.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace helm;
    const std::string text(reinterpret_cast<const char*>(data), size);
    Script script;
    try {
        script = Script::decode(text);
    } catch (const json::DecodeError&) {
        return 0;
    }
    // Text nested too deep to copy safely is never taken, wherever the nesting sits.
    if (json::nestsDeeperThan(text, json::maxDepth))
        std::abort();
    // What was read writes back and reads again unchanged.
    try {
        if (Script::decode(script.encode()) != script)
            std::abort();
    } catch (const json::EncodeError&) {
        // A number too large for a double reads as infinity and is refused on writing.
    }
    // Any cue list and layout is scored without a crash, whatever it holds.
    std::vector<Replay::Frame> frames;
    for (int i = 0; i < 40; ++i)
        frames.push_back({i * 0.25, Angle{double(i % 7) * 5 - 15, double(i % 3) * 5}, std::nullopt,
                          Face{{0.4, 0.4, 0.2, 0.25}, 0.9}});
    std::ostringstream out;
    for (double mix : {0.0, 1.0})
        Replay::score(frames, script, mix, out);
    return 0;
}
