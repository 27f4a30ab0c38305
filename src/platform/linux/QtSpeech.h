#pragma once

#include "platform/Speech.h"
#include "platform/SpeechTurn.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>

class QTextToSpeech;

namespace helm {

// Speech through Qt's text-to-speech over speech-dispatcher, with the desktop's default voice.
class QtSpeech : public QObject, public Speech {
    Q_OBJECT
public:
    using Log = std::function<void(const std::string&)>;

    // The engine, or none when speech-dispatcher cannot be used; later failures go to log.
    static std::unique_ptr<Speech> open(Log log);
    ~QtSpeech() override;

    void speak(const std::string& text, double rate, std::function<void()> ended) override;
    void stop() override;

    // Our rate scale (0 slowest, 0.5 usual, 1 fastest) on Qt's (-1, 0, 1).
    static double qtRate(double rate);

private:
    QtSpeech(std::unique_ptr<QTextToSpeech> tts, Log log);

    std::unique_ptr<QTextToSpeech> tts_;
    Log log_;
    SpeechTurn turn_;
    bool toldError_ = false;
};

} // namespace helm
