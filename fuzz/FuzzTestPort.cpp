// Bytes from a test-port client: cut into command lines and interpreted, as a connection does.
#include "app/App.h"
#include "app/CommandReader.h"
#include "app/TestPort.h"
#include "platform/Platform.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static helm::Defaults defaults;
    static helm::App app(helm::CommandLine({"helmvantor", "--test-port", "0", "--no-camera"}),
                         defaults, helm::simPlatform());
    helm::CommandReader reader;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Split the input in two reads at a point the input chooses, so reassembly is exercised.
    std::size_t cut = size > 0 ? data[0] % (size + 1) : 0;
    for (std::string_view part : {bytes.substr(0, cut), bytes.substr(cut)}) {
        for (const auto& line : reader.feed(part)) {
            if (line) {
                if (line->size() > helm::CommandReader::maxLine ||
                    line->find('\n') != std::string::npos) {
                    std::abort();
                }
                std::string reply = helm::TestPort::run(*line, app);
                if (reply.find('\n') != std::string::npos) {
                    std::abort(); // one reply is one line
                }
            }
        }
    }
    return 0;
}
