#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace helm {

// The process's arguments, element 0 being the program path, and the questions the entry
// point and the launch sequence ask of them.
struct CommandLine {
    std::vector<std::string> args;

    CommandLine() = default;
    explicit CommandLine(std::vector<std::string> args);
    CommandLine(int argc, const char* const* argv);

    // The argument after the first one equal to name; nothing when name is absent or is the
    // last argument.
    std::optional<std::string> arg(const std::string& name) const;
    // Some argument equals name.
    bool has(const std::string& name) const;

    // Simulation mode: "--test-port" is present, with or without a value.
    bool simOnly() const { return has("--test-port"); }
    bool noCamera() const { return has("--no-camera"); }
    // The test port to open: "--test-port" followed by a decimal number from 0 to 65535.
    std::optional<std::uint16_t> testPort() const;

    // What went wrong, with the usage, as one line, when "--replay" or "--test-port" is the
    // last argument: without its value the program would start in full and take the network
    // ports instead. Nothing when both have their values or are absent.
    std::optional<std::string> missingValue() const;

    // "start iso=true args=[...]": the arguments after the program path as quoted literals,
    // leaving out every argument that begins "--token" and the one that follows "--token",
    // so a secret given on the command line never reaches the log.
    std::string startLine(bool iso) const;
};

// A string as a double-quoted literal: quotes, backslashes and control characters escaped.
std::string quoted(const std::string& s);

// A decimal port number from 0 to 65535: digits only, no sign or spaces.
std::optional<std::uint16_t> parsePort(const std::string& text);

} // namespace helm
