#pragma once

#include "desk/DisplayInfo.h"
#include "desk/Json.h"
#include "link/Bytes.h"
#include "link/Clip.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace helm {

// The text lines the hub and a PC agent exchange once a link is logged in: a keyword and fields
// separated by single spaces, integers in plain decimal, binary payloads and free text as strict
// base64. Pure functions only; the hub frames, seals and carries the lines. A parser yields
// nothing for anything it does not understand and the caller ignores the line.
//
// To a PC:  "p" ping · "D" ask displays · "r" release · "C" ask clipboard ·
//           "c <text>" · "ci <png>" · "cf <name>:<bytes> …" ("cf " with no files) ·
//           "k <code> <1|0>" · "b <button> <1|0>" · "m <dx> <dy>" · "w <dy> <dx>" ·
//           "o <display> <mode> <number>" · "W <display> <L|R|U|D|-> <number> <name>" ·
//           "A <recipe JSON>" or "A -"
// From a PC: "p" · "rekeyed" · "a" · "cap off" · "L <input line>" · "e L" · "e R" ·
//           "d <display list JSON>" · "c|ci|cf <clip number> [payload]"
// <text>, <name>, JSON and binary payloads are base64; text is UTF-8 inside it.
class Wire {
public:
    Wire() = delete;

    // The largest clipboard content, in bytes, that crosses the link.
    static constexpr std::size_t maxClipBytes = 100'000'000;
    // The most displays a PC may report; a longer list is refused.
    static constexpr std::size_t maxDisplays = 16;
    // The longest "d" line taken: 16 displays fit in a few kilobytes.
    static constexpr std::size_t maxDisplaysLine = 65'536;
    // The deepest nesting of arrays and objects taken in a JSON payload from a PC.
    static constexpr int maxJsonDepth = 8;

    // Lines from this computer to a PC.
    static inline const std::string ping = "p";
    static inline const std::string askDisplays = "D";
    static inline const std::string release = "r";
    static inline const std::string askClip = "C";

    static std::string key(std::int64_t code, bool down);
    static std::string button(std::int64_t number, bool down);
    static std::string move(std::int64_t dx, std::int64_t dy);
    static std::string wheel(std::int64_t dy, std::int64_t dx); // vertical amount first
    static std::string b64(std::string_view text);
    static std::string b64(const Bytes& bytes);
    static std::string setClip(const Clip& clip);
    // The length of setClip's line, also before the content is read: the head ("c ", "ci ",
    // "cf ") and the sizes of its parts (for files each name's and content's in turn).
    static std::size_t setClipSize(const Clip& clip);
    static std::size_t setClipSize(std::string_view head, const std::vector<std::size_t>& parts);
    static std::string overlay(std::int64_t display, std::string_view mode, std::int64_t number);
    static std::string warp(std::int64_t display, std::string_view dir, std::int64_t number,
                            std::string_view name);
    // "A" and the recipe's JSON in base64, or "A -" without a recipe or when it won't encode.
    static std::string animation(const std::optional<json::Json>& recipe);

    // Six decimal digits, uniformly random from the secure random source.
    static std::string newPairCode();

    // Lines from a PC.
    struct ClipReply {
        std::int64_t number = 0;  // chosen by the agent, passed on unchanged
        std::optional<Clip> clip; // nothing when the PC had nothing to hand over
        friend bool operator==(const ClipReply&, const ClipReply&) = default;
    };
    static std::optional<ClipReply> clipReply(std::string_view line);
    static std::optional<Clip> decode(std::string_view kind,
                                      const std::vector<std::string_view>& payload);

    // The displays of a "d" line. A line that begins "d " but does not hold a sound display
    // list yields nothing and, when asked, says why in `problem`.
    static std::optional<std::vector<DisplayInfo>> displaysReply(std::string_view line,
                                                                 std::string* problem = nullptr);

    // A captured pointer move "L m dx dy" (exactly four tokens, both numbers integers).
    static std::optional<std::pair<std::int64_t, std::int64_t>> fastMove(std::string_view line);

    // A relayed input line ("k", "b", "m" or "w" without the leading "L "): its keyword and the
    // tokens that parse as integers, in order.
    struct Input {
        std::string keyword;
        std::vector<std::int64_t> numbers;
        friend bool operator==(const Input&, const Input&) = default;
    };
    static std::optional<Input> input(std::string_view line);

    // A received file name cleaned to a last path component that is safe to create, or nothing.
    static std::optional<std::string> safeName(std::string_view name);

    // A PC name from the wire: 1 to 64 bytes of UTF-8 without control, bidi or invisible
    // characters (zero-width, byte order mark), "/" or white space, and never "mac" (the prefix
    // of this computer's own screen ids).
    static bool isValidPCName(std::string_view name);

    // The tokens of a line: split on " ", empty pieces dropped.
    static std::vector<std::string_view> split(std::string_view line);
};

} // namespace helm
