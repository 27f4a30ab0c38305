#pragma once

#include <functional>

namespace helm {

// Which end of speech belongs to the sentence just handed to an engine that reports only its
// state (ready or speaking) and not which sentence it is about. Stopping also ends in ready,
// and late: a sentence has ended only at the ready that follows its own speaking.
class SpeechTurn {
public:
    // A new sentence was handed over; any earlier one's end is dropped.
    void begin(std::function<void()> ended) {
        ended_ = std::move(ended);
        started_ = false;
    }
    // The sentence was stopped: its end is dropped.
    void drop() { begin(nullptr); }
    // The engine reports speaking.
    void speaking() { started_ = static_cast<bool>(ended_); }
    // The engine reports ready: the completion to call, when this ready ends our sentence.
    std::function<void()> ready() { return started_ ? take() : nullptr; }
    // The engine failed: the sentence will not be spoken; its completion to call.
    std::function<void()> failed() { return take(); }

private:
    std::function<void()> take() {
        std::function<void()> f = std::move(ended_);
        ended_ = nullptr;
        started_ = false;
        return f;
    }
    std::function<void()> ended_;
    bool started_ = false;
};

} // namespace helm
