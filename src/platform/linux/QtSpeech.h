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

    // The engine, or none when speech-dispatcher (or the Qt engine named) cannot speak; later
    // failures go to log.
    static std::unique_ptr<Speech> open(Log log, const std::string& engine = "speechd");
    ~QtSpeech() override;

    void speak(const std::string& text, double rate, std::function<void()> ended) override;
    void stop() override;

    // Our rate scale (0 slowest, 0.5 usual, 1 fastest) on Qt's (-1, 0, 1).
    static double qtRate(double rate);

private:
    QtSpeech(std::unique_ptr<QTextToSpeech> tts, Log log, bool staleError);
    void failed(const QString& why);

    std::unique_ptr<QTextToSpeech> tts_;
    Log log_;
    SpeechTurn turn_;
    bool toldError_ = false;
    // The engine still reports the error it met at start for the locale, though it was given a
    // voice it speaks with: true until it reports anything else.
    bool staleError_ = false;
};

} // namespace helm
