#include "platform/linux/QtSpeech.h"

#include <QTextToSpeech>

#include <algorithm>
#include <utility>

namespace helm {

std::unique_ptr<Speech> QtSpeech::open(Log log) {
    // The caller says in one line that there is no speech; the reason adds nothing it can use.
    if (!QTextToSpeech::availableEngines().contains(QStringLiteral("speechd"))) {
        return nullptr;
    }
    auto tts = std::make_unique<QTextToSpeech>(QStringLiteral("speechd"));
    if (tts->state() == QTextToSpeech::Error) {
        return nullptr;
    }
    return std::unique_ptr<Speech>(new QtSpeech(std::move(tts), std::move(log)));
}

QtSpeech::QtSpeech(std::unique_ptr<QTextToSpeech> tts, Log log)
    : tts_(std::move(tts)), log_(std::move(log)) {
    connect(tts_.get(), &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State s) {
        std::function<void()> ended;
        switch (s) {
        case QTextToSpeech::Speaking:
            turn_.speaking();
            break;
        case QTextToSpeech::Ready:
            ended = turn_.ready();
            break;
        case QTextToSpeech::Error:
            if (!toldError_) {
                toldError_ = true;
                log_("speech: " + tts_->errorString().toStdString());
            }
            ended = turn_.failed();
            break;
        default:
            break;
        }
        if (ended) {
            ended();
        }
    });
}

QtSpeech::~QtSpeech() {
    // No end is reported once the engine is gone.
    turn_.drop();
    tts_->disconnect(this);
}

double QtSpeech::qtRate(double rate) {
    return std::clamp(rate * 2 - 1, -1.0, 1.0);
}

void QtSpeech::speak(const std::string& text, double rate, std::function<void()> ended) {
    turn_.begin(std::move(ended));
    if (tts_->state() == QTextToSpeech::Error) {
        // Nothing will be spoken: end at once, as a muted voice would.
        if (std::function<void()> f = turn_.failed()) {
            f();
        }
        return;
    }
    tts_->setRate(qtRate(rate));
    tts_->say(QString::fromStdString(text));
}

void QtSpeech::stop() {
    turn_.drop();
    tts_->stop(QTextToSpeech::BoundaryHint::Immediate);
}

} // namespace helm
