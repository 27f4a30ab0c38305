#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace helm {

struct CommandLineCheck;

// The process's arguments, element 0 being the program path, read once by one parser, and the
// questions the entry point and the launch sequence ask of them. Qt's own options (-platform,
// -display, -style…) are passed over: Qt takes them when the application is made.
class CommandLine {
public:
    // The raw arguments, as given.
    std::vector<std::string> args;

    CommandLine() = default;
    // The options of a command line known to be good (tests): what parse would find, whatever
    // it would say of the line. "--test-port" as the last argument still means simulation mode.
    explicit CommandLine(std::vector<std::string> args);

    // Reads the arguments and says what to do: run, print the usage or the version, or refuse
    // the line with one sentence (an unknown option, an option without its value or with one
    // it cannot use, an argument that is no option).
    static CommandLineCheck check(std::vector<std::string> args);

    // The argument after the first one equal to name; nothing when name is absent or is the
    // last argument. For Qt's options, which the parser leaves to Qt.
    std::optional<std::string> arg(const std::string& name) const;

    // Simulation mode: "--test-port" is given, with or without a usable value.
    bool simOnly() const { return simOnly_; }
    bool noCamera() const { return noCamera_; }
    // The test port to open: the first "--test-port" value, a decimal number from 0 to 65535.
    std::optional<std::uint16_t> testPort() const { return testPort_; }
    // The folders of the two runs that end at once; nothing when not asked for.
    const std::optional<std::string>& renderGuide() const { return renderGuide_; }
    const std::optional<std::string>& replay() const { return replay_; }
    // The first "--token" value: used in place of the stored older shared secret for this run.
    const std::optional<std::string>& token() const { return token_; }

    // The arguments after the program path without any "--token" and its value, for a copy
    // started in this one's place: the old secret must not live on in it.
    std::vector<std::string> withoutToken() const;

    // "start iso=true args=[...]": the arguments after the program path as quoted literals,
    // leaving out every argument that begins "--token" and the one that follows "--token",
    // so a secret given on the command line never reaches the log.
    std::string startLine(bool iso) const;

    // Every option and the environment variables the program reads, for --help and refusals.
    static std::string usage();
    // "helmvantor" and the version number.
    static std::string version();

private:
    bool simOnly_ = false;
    bool noCamera_ = false;
    std::optional<std::uint16_t> testPort_;
    std::optional<std::string> renderGuide_;
    std::optional<std::string> replay_;
    std::optional<std::string> token_;
};

struct CommandLineCheck {
    enum class Verdict { run, help, version, refuse };
    Verdict verdict = Verdict::run;
    CommandLine line;
    // With refuse: what is wrong, one line starting "helmvantor: ".
    std::string error;
};

// A string as a double-quoted literal: quotes, backslashes and control characters escaped.
std::string quoted(const std::string& s);

// A decimal port number from 0 to 65535: digits only, no sign or spaces.
std::optional<std::uint16_t> parsePort(const std::string& text);

} // namespace helm
