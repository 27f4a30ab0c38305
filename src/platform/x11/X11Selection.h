#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct xcb_connection_t;

namespace helm {

// Reads the CLIPBOARD selection over an X connection of its own, so that waiting for the
// program that holds it never holds up the thread Qt's clipboard lives on. Large contents
// come in pieces (INCR); each step waits at most `patience` for the holder, and all of them
// together at most `total` from the first use: a holder that sends a byte now and then would
// keep a read going for hours. Once a wait ran out, or stop() was called, the holder is
// asked nothing more. One thread at a time, but for stop(); opened on first use.
class X11Selection {
public:
    static constexpr std::chrono::milliseconds allowed{15'000};

    // most: the bytes of one format read at most; a longer one comes cut there.
    X11Selection(std::uint64_t most, std::chrono::milliseconds patience,
                 std::chrono::milliseconds total = allowed);
    ~X11Selection();

    X11Selection(const X11Selection&) = delete;
    X11Selection& operator=(const X11Selection&) = delete;

    // The formats the holder offers; nothing when there is no holder or it does not answer.
    std::optional<std::vector<std::string>> targets();
    // The bytes of one format; nothing when it is refused or not given in time.
    std::optional<std::string> fetch(const std::string& target);
    // True once a wait for the holder ran out or the read was stopped: what came back
    // empty may have been offered.
    bool late() const { return late_ || stopped_; }
    // Ends the wait under way at once, and every later one; from any thread.
    void stop();

private:
    bool open();
    // Until when the next step may wait for the holder: patience, and not past the deadline
    // of the whole read.
    std::chrono::steady_clock::time_point stepDeadline() const;
    std::uint32_t atom(const std::string& name);
    // Asks the holder to put one format on our window and reads it, in pieces when it says
    // so; nothing when it refuses or does not answer in time.
    std::optional<std::string> convert(std::uint32_t target);
    std::optional<std::string> readPieces(std::uint32_t expect);
    // The property's value, at most `most` bytes, deleted once read; nothing when the
    // connection failed.
    std::optional<std::string> readProperty(std::uint64_t most, std::uint32_t* type);
    // A new window for the next transfer: an abandoned one may still receive pieces.
    void renew();

    std::uint64_t most_;
    std::chrono::milliseconds patience_, total_;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    bool late_ = false;
    std::atomic<bool> stopped_{false};
    int wake_; // an eventfd that stop() makes readable (poll passes over -1)
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t window_ = 0, root_ = 0;
    std::uint32_t clipboard_ = 0, property_ = 0, incr_ = 0;
};

} // namespace helm
