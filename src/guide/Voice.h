#pragma once

#include "platform/Speech.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace helm {

// Spoken prompts and chimes. Every sentence replaces the one before; nothing is queued. The
// engines are made when first needed, so a muted run never starts one. Without an engine the
// voice acts as if muted, so every caller still gets its completion. Main thread only.
class Voice {
public:
    Voice();
    ~Voice();
    Voice(const Voice&) = delete;
    Voice& operator=(const Voice&) = delete;

    bool muted = false;     // no spoken prompts
    bool chimesOff = false; // no chimes
    // Make the engines; empty, or giving none, means there is no sound to make.
    std::function<std::unique_ptr<Speech>()> makeSpeech;
    std::function<std::unique_ptr<Chimes>()> makeChimes;
    std::function<void(const std::string&)> log = [](const std::string&) {};

    // Stops any sentence being spoken and speaks this one. `done` replaces the completion of
    // an earlier sentence, which is then never called; it runs once, later, on the main
    // thread when this sentence has been spoken, or, muted, as soon as the main thread is
    // free. An empty text only stops the speech; its `done` runs as when muted.
    void say(const std::string& text, std::function<void()> done = nullptr);
    // Plays the named sound unless chimes are off.
    void chime(const std::string& name = "Tink");

    // The sound theme's event id for a sound name; other names are taken as ids.
    static std::string soundId(const std::string& name);

private:
    void post(std::function<void()> fn);
    void finished(std::uint64_t sentence);
    Speech* speech();
    Chimes* chimes();

    // Completions are posted to this object, so none runs after the voice is gone.
    std::unique_ptr<QObject> context_ = std::make_unique<QObject>();
    std::function<void()> onDone_;
    std::uint64_t sentence_ = 0; // numbers the sentences: only the latest one's end counts
    std::unique_ptr<Speech> speech_;
    bool noSpeech_ = false;
    std::unique_ptr<Chimes> chimes_;
    bool noChimes_ = false;
};

} // namespace helm
