// The command line: any arguments are read without a crash, a refusal is one line that names
// the program, and a token given on it never reaches the start line.
#include "app/CommandLine.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args{"helmvantor"};
    std::string arg;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(arg);
            arg.clear();
        } else {
            arg.push_back(static_cast<char>(data[i]));
        }
    }
    args.push_back(arg);
    const helm::CommandLineCheck check = helm::CommandLine::check(args);
    using Verdict = helm::CommandLineCheck::Verdict;
    if (check.verdict == Verdict::refuse) {
        if (check.error.rfind("helmvantor: ", 0) != 0 ||
            check.error.find('\n') != std::string::npos) {
            std::abort();
        }
        return 0;
    }
    if (check.verdict != Verdict::run) {
        return 0;
    }
    const std::optional<std::string>& token = check.line.token();
    if (token && token->size() >= 8 &&
        check.line.startLine(false).find(*token) != std::string::npos) {
        // A long token can only be in the start line if it was logged; short ones may match
        // other arguments by chance.
        bool elsewhere = false;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] != *token && args[i].find(*token) != std::string::npos &&
                args[i].rfind("--token", 0) != 0) {
                elsewhere = true;
            }
        }
        if (!elsewhere) {
            std::abort();
        }
    }
    return 0;
}
