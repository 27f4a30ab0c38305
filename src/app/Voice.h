#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace helm {

// Spoken prompts and chimes. The sound itself comes from an engine; with none the voice acts
// as if muted, so every caller still gets its `done`. Main thread only.
class Voice {
public:
    // What makes the sound. `finished` may be called on any thread, once the sentence has been
    // spoken or stopped.
    class Engine {
    public:
        virtual ~Engine() = default;
        virtual void speak(const std::string& text, double rate,
                           std::function<void()> finished) = 0;
        virtual void stop() = 0;
        virtual void play(const std::string& sound) = 0;
    };

    Voice();
    ~Voice();
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;

    bool muted = false;     // no spoken prompts
    bool chimesOff = false; // no chimes
    std::unique_ptr<Engine> engine;

    // Stops any sentence being spoken and speaks this one; `done` takes the place of an earlier
    // sentence's and runs once, later, on the main thread after this sentence. Muted, `done`
    // runs at once (still later). An empty sentence only stops the speech; the kept `done` is
    // dropped.
    void say(const std::string& text, std::function<void()> done = nullptr);
    // Plays a system sound unless chimes are off.
    void chime(const std::string& name = "Tink");

private:
    void finished(std::uint64_t sentence);

    std::function<void()> done_;
    std::uint64_t sentence_ = 0; // numbers the sentences: only the latest one's end counts
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace helm
