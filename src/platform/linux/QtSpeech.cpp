#include "platform/linux/QtSpeech.h"

#include <QTextToSpeech>

#include <algorithm>
#include <utility>

namespace helm {

namespace {

// Gives an engine that found no voice for the user's locale (the C locale has none) a voice
// of another, English first as the prompts are English. False when it has none to give.
bool takeAnyVoice(QTextToSpeech& tts) {
    QList<QLocale> locales = tts.availableLocales();
    auto rank = [](const QLocale& l) {
        return l.language() != QLocale::English         ? 2
               : l.territory() == QLocale::UnitedStates ? 0
                                                        : 1;
    };
    std::stable_sort(locales.begin(), locales.end(),
                     [&](const QLocale& a, const QLocale& b) { return rank(a) < rank(b); });
    for (const QLocale& locale : locales) {
        tts.setLocale(locale);
        if (tts.locale() == locale && !tts.availableVoices().isEmpty()) {
            if (tts.voice().name().isEmpty()) {
                tts.setVoice(tts.availableVoices().first());
            }
            return !tts.voice().name().isEmpty();
        }
    }
    return false;
}

} // namespace

std::unique_ptr<Speech> QtSpeech::open(Log log, const std::string& engine) {
    // The caller says in one line that there is no speech; the reason adds nothing it can use.
    const QString name = QString::fromStdString(engine);
    if (!QTextToSpeech::availableEngines().contains(name)) {
        return nullptr;
    }
    auto tts = std::make_unique<QTextToSpeech>(name);
    const bool staleError = tts->state() == QTextToSpeech::Error;
    if (staleError) {
        const std::string why = tts->errorString().toStdString();
        if (!takeAnyVoice(*tts)) {
            return nullptr;
        }
        log("speech: " + why + "; speaking with the voice " + tts->voice().name().toStdString() +
            " (" + tts->locale().name().toStdString() + ")");
    }
    return std::unique_ptr<Speech>(new QtSpeech(std::move(tts), std::move(log), staleError));
}

QtSpeech::QtSpeech(std::unique_ptr<QTextToSpeech> tts, Log log, bool staleError)
    : tts_(std::move(tts)), log_(std::move(log)), staleError_(staleError) {
    connect(tts_.get(), &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State s) {
        staleError_ = false;
        std::function<void()> ended;
        switch (s) {
        case QTextToSpeech::Speaking:
            turn_.speaking();
            break;
        case QTextToSpeech::Ready:
            ended = turn_.ready();
            break;
        case QTextToSpeech::Error:
            failed(tts_->errorString());
            break;
        default:
            break;
        }
        if (ended) {
            ended();
        }
    });
    // An engine already in its error state reports a new error only this way.
    connect(tts_.get(), &QTextToSpeech::errorOccurred, this,
            [this](QTextToSpeech::ErrorReason, const QString& why) {
                staleError_ = false;
                failed(why);
            });
}

void QtSpeech::failed(const QString& why) {
    if (!toldError_) {
        toldError_ = true;
        log_("speech: " + why.toStdString());
    }
    if (std::function<void()> ended = turn_.failed()) {
        ended();
    }
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
    if (tts_->state() == QTextToSpeech::Error && !staleError_) {
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
