#pragma once
// A speech engine and chime player that only remember: what it was asked to say and play, and the
// sentences still "being spoken" until the test ends them.
#include "platform/Speech.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace helm::test {

class RecordingSpeech : public Speech, public Chimes {
public:
    struct Record {
        std::vector<std::string> events; // "say …", "chime …"
        std::vector<std::function<void()>> speaking;
        int stops = 0;

        // Every sentence begun so far comes to its end.
        void finishAll() {
            auto ends = std::move(speaking);
            speaking.clear();
            for (auto& end : ends)
                end();
        }
        bool has(const std::string& event) const {
            for (const auto& e : events)
                if (e == event)
                    return true;
            return false;
        }
    };

    explicit RecordingSpeech(std::shared_ptr<Record> record) : record_(std::move(record)) {}

    void speak(const std::string& text, double, std::function<void()> finished) override {
        record_->events.push_back("say " + text);
        record_->speaking.push_back(std::move(finished));
    }
    void stop() override { ++record_->stops; }
    void play(const std::string& sound) override { record_->events.push_back("chime " + sound); }

private:
    std::shared_ptr<Record> record_;
};

} // namespace helm::test
