// Speech through Qt's text-to-speech, over a stand-in engine built into this program: one that
// behaves as speech-dispatcher's does under a locale it has no voice for (LANG=C).
#define QT_STATICPLUGIN
#include "platform/linux/QtSpeech.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextToSpeechEngine>
#include <QTextToSpeechPlugin>
#include <QTimer>
#include <QVoice>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the next stand-in engine has, and what engines were asked to say.
struct StandIn {
    QList<QLocale> locales; // each with one voice
    std::vector<std::string> said;
};
StandIn standIn;

class StandInEngine : public QTextToSpeechEngine {
public:
    // As with no voice for the locale at start.
    explicit StandInEngine(QObject* parent) : QTextToSpeechEngine(parent) {}
    QList<QLocale> availableLocales() const override { return standIn.locales; }
    QList<QVoice> availableVoices() const override {
        if (!standIn.locales.contains(locale_))
            return {};
        return {
            createVoice("Voice of " + locale_.name(), locale_, QVoice::Female, QVoice::Adult, {})};
    }
    // Speaks with whatever voice it has, and reports its state as it goes.
    void say(const QString& text) override {
        standIn.said.push_back(text.toStdString());
        QTimer::singleShot(0, this, [this] {
            state_ = QTextToSpeech::Speaking;
            emit stateChanged(state_);
            state_ = QTextToSpeech::Ready;
            emit stateChanged(state_);
        });
    }
    void stop(QTextToSpeech::BoundaryHint) override {}
    void pause(QTextToSpeech::BoundaryHint) override {}
    void resume() override {}
    double rate() const override { return 0; }
    bool setRate(double) override { return true; }
    double pitch() const override { return 0; }
    bool setPitch(double) override { return true; }
    QLocale locale() const override { return locale_; }
    // Like speech-dispatcher's: a locale with voices is taken, the error state stays.
    bool setLocale(const QLocale& locale) override {
        if (!standIn.locales.contains(locale))
            return false;
        locale_ = locale;
        voice_ = availableVoices().first();
        return true;
    }
    double volume() const override { return 1; }
    bool setVolume(double) override { return true; }
    QVoice voice() const override { return voice_; }
    bool setVoice(const QVoice& voice) override {
        voice_ = voice;
        return true;
    }
    QTextToSpeech::State state() const override { return state_; }
    QTextToSpeech::ErrorReason errorReason() const override {
        return state_ == QTextToSpeech::Error ? QTextToSpeech::ErrorReason::Configuration
                                              : QTextToSpeech::ErrorReason::NoError;
    }
    QString errorString() const override { return why_; }

private:
    QTextToSpeech::State state_ = QTextToSpeech::Error;
    QString why_ = "Locale not available: C";
    QLocale locale_ = QLocale::c();
    QVoice voice_;
};

class StandInSpeechPlugin : public QObject, public QTextToSpeechPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.qt.speech.tts.plugin/6.0" FILE "StandInSpeech.json")
    Q_INTERFACES(QTextToSpeechPlugin)
public:
    QTextToSpeechEngine* createTextToSpeechEngine(const QVariantMap&, QObject* parent,
                                                  QString*) const override {
        return new StandInEngine(parent);
    }
};

TEST(QtSpeechTest, AnEngineWithoutAVoiceForTheLocaleSpeaksWithAnotherOne) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const struct {
        const char* name;
        QList<QLocale> locales;
        bool speaks;
        std::string log;
    } cases[] = {
        {"error for the locale, English among others",
         {QLocale("de_DE"), QLocale("en_GB"), QLocale("en_US")},
         true,
         "speech: Locale not available: C; speaking with the voice Voice of en_US (en_US)"},
        {"error for the locale, no English",
         {QLocale("fr_FR")},
         true,
         "speech: Locale not available: C; speaking with the voice Voice of fr_FR (fr_FR)"},
        {"no voice at all", {}, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        standIn = {c.locales, {}};
        std::vector<std::string> log;
        auto speech =
            helm::QtSpeech::open([&](const std::string& l) { log.push_back(l); }, "helm-stand-in");
        ASSERT_EQ(speech != nullptr, c.speaks);
        if (!speech)
            continue;
        bool ended = false;
        speech->speak("Look at the camera.", 0.5, [&] { ended = true; });
        QElapsedTimer clock;
        clock.start();
        while (!ended && clock.elapsed() < 3000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_TRUE(ended);
        EXPECT_EQ(standIn.said, std::vector<std::string>{"Look at the camera."});
        EXPECT_EQ(log,
                  c.log.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.log});
    }
}

} // namespace

Q_IMPORT_PLUGIN(StandInSpeechPlugin)

#include "QtSpeechTest.moc"
