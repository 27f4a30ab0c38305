#include "guide/Voice.h"

#include <QMetaObject>

#include <utility>

namespace helm {

Voice::Voice() = default;

Voice::~Voice() {
    if (speech_) {
        speech_->stop();
    }
}

std::string Voice::soundId(const std::string& name) {
    if (name == "Tink") {
        return "message";
    }
    if (name == "Glass") {
        return "complete";
    }
    return name;
}

void Voice::post(std::function<void()> fn) {
    // Queued to the context's (main) thread from whichever thread the engine calls on; a
    // destroyed context drops it.
    QMetaObject::invokeMethod(context_.get(), std::move(fn), Qt::QueuedConnection);
}

Speech* Voice::speech() {
    if (!speech_ && !noSpeech_) {
        if (makeSpeech) {
            speech_ = makeSpeech();
        }
        if (!speech_) {
            noSpeech_ = true;
            log("voice: no speech engine, prompts stay silent");
        }
    }
    return speech_.get();
}

Chimes* Voice::chimes() {
    if (!chimes_ && !noChimes_) {
        if (makeChimes) {
            chimes_ = makeChimes();
        }
        if (!chimes_) {
            noChimes_ = true;
            log("voice: no sound output, chimes stay silent");
        }
    }
    return chimes_.get();
}

void Voice::say(const std::string& text, std::function<void()> done) {
    const std::uint64_t n = ++sentence_;
    onDone_ = nullptr;
    if (speech_) {
        speech_->stop();
    }
    if (text.empty()) {
        if (done) {
            post(std::move(done));
        }
        return;
    }
    onDone_ = std::move(done);
    Speech* engine = muted ? nullptr : speech();
    if (!engine) {
        post([this, n] { finished(n); });
        return;
    }
    QObject* context = context_.get();
    engine->speak(text, 0.5, [this, context, n] {
        QMetaObject::invokeMethod(
            context, [this, n] { finished(n); }, Qt::QueuedConnection);
    });
}

void Voice::finished(std::uint64_t sentence) {
    // The end of a stopped or replaced sentence: its completion was dropped with it.
    if (sentence != sentence_ || !onDone_) {
        return;
    }
    std::function<void()> done = std::move(onDone_);
    onDone_ = nullptr;
    done();
}

void Voice::chime(const std::string& name) {
    if (chimesOff) {
        return;
    }
    if (Chimes* c = chimes()) {
        c->play(soundId(name));
    }
}

} // namespace helm
