// Clip replies from a PC: never a crash, every received file name safe, and a clip that is
// accepted comes through a round trip through its own line unchanged.
#include "link/Wire.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view line(reinterpret_cast<const char*>(data), size);
    auto reply = helm::Wire::clipReply(line);
    if (!reply || !reply->clip) {
        return 0;
    }
    const helm::Clip& clip = *reply->clip;
    if (auto* files = std::get_if<helm::Clip::Files>(&clip.value)) {
        for (const auto& f : files->files) {
            if (helm::Wire::safeName(f.name) != f.name) {
                std::abort();
            }
        }
    }
    std::string again = helm::Wire::setClip(clip);
    std::string kind = again.substr(0, again.find(' '));
    auto back = helm::Wire::clipReply(kind + " 1 " + again.substr(kind.size() + 1));
    bool emptyText = clip == helm::Clip::text("");
    if (!emptyText && (!back || back->clip != clip)) {
        std::abort();
    }
    (void)clip.summary();
    return 0;
}
