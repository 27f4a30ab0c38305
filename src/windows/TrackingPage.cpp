#include "windows/TrackingPage.h"

#include "gaze/feed/CameraFeedView.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "windows/Segmented.h"
#include "windows/SettingsKit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace helm {

TrackingPage::TrackingPage(SettingsModel& m, QWidget* parent) : SettingsPage(m, parent) {
    addText("People look differently: some turn their head, others mostly move their eyes. "
            "Choose what Helmvantor follows and watch the result live. No new setup needed when "
            "you change it.",
            13, gMuted);

    auto* follow = new Segmented(
        {"Head only", "Head and eyes", "Mostly eyes"}, 360,
        [this](int i) { prefs.setEyeMix(i * 0.5); }, Fonts::font(12, QFont::Normal));
    follow->setAccessibleName("Follow");
    stack->addWidget(follow);

    auto* line = new QHBoxLayout();
    line->setSpacing(10);
    line->addWidget(SettingsKit::text("Head", 12, gMuted));
    // Whole steps of 0.05; a stored mix between steps is shown, not rewritten.
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, 20);
    slider->setFixedWidth(260);
    slider->setAccessibleName("How much your eyes count");
    QObject::connect(slider, &QSlider::valueChanged, slider,
                     [this](int k) { prefs.setEyeMix(k / 20.0); });
    // While the handle is held every step refits the desk: stored a few times a second, and
    // once more on release.
    QObject::connect(slider, &QSlider::sliderPressed, slider, [this] { prefs.d.setLive(true); });
    QObject::connect(slider, &QSlider::sliderReleased, slider, [this] { prefs.d.setLive(false); });
    line->addWidget(slider);
    line->addWidget(SettingsKit::text("Eyes", 12, gMuted));
    QLabel* percent = SettingsKit::text("", 12, gInk, QFont::Medium);
    percent->setFixedWidth(40);
    percent->setAlignment(Qt::AlignCenter);
    line->addWidget(percent);
    line->addStretch(1);
    stack->addLayout(line);
    onSync([this, follow, slider, percent] {
        double mix = prefs.eyeMix();
        follow->select(mix == 0.0 ? 0 : mix == 0.5 ? 1 : mix == 1.0 ? 2 : -1);
        QSignalBlocker block(slider);
        slider->setValue(static_cast<int>(std::lround(mix * 20)));
        percent->setText(QString::number(static_cast<int>(mix * 100)) + "%");
    });

    auto* camera = new CameraFeedView(*model.feed(), true);
    camera->setFixedSize(240, 180);
    auto* live = new QHBoxLayout();
    live->setSpacing(20);
    live->addWidget(camera, 0, Qt::AlignTop);
    auto* words = new QVBoxLayout();
    words->setSpacing(6);
    words->addWidget(SettingsKit::text("Looking at", 12, gMuted));
    QLabel* look = SettingsKit::text("", 28, gInk, QFont::DemiBold, true);
    look->setAccessibleName("Looking at");
    words->addWidget(look);
    words->addWidget(SettingsKit::text("Look at each screen, the bottom of a tall one, then your "
                                       "keyboard: it should say so here.",
                                       12, gMuted, QFont::Normal, true));
    words->addStretch(1);
    live->addLayout(words, 1);
    stack->addLayout(live);
    onSync([this, look] {
        QString s = QString::fromStdString(model.liveLook());
        if (look->text() != s) {
            look->setText(s);
        }
    });

    auto* buttons = new QHBoxLayout();
    buttons->setSpacing(10);
    buttons->addWidget(SettingsKit::button("Calibrate", [this] { model.onCalibrate(); }));
    QPushButton* precise =
        SettingsKit::button("Precise calibration", [this] { model.onPrecise(); });
    precise->setToolTip("Nine points per screen, held a little longer, then an accuracy check. "
                        "About a minute.");
    buttons->addWidget(precise);
    QPushButton* check = SettingsKit::button("Check accuracy", [this] { model.onCheck(); });
    check->setToolTip("Helmvantor shows each screen's centre twice and counts how often it picked "
                      "the right one.");
    buttons->addWidget(check);
    buttons->addStretch(1);
    stack->addLayout(buttons);

    auto* result = new QWidget();
    auto* resultLine = new QHBoxLayout(result);
    resultLine->setContentsMargins(0, 0, 0, 0);
    resultLine->setSpacing(6);
    resultLine->addWidget(new SymbolIcon("scope", 13, gLive, 18));
    QLabel* resultText = SettingsKit::text("", 13, gLive, QFont::DemiBold, true);
    resultLine->addWidget(resultText, 1);
    stack->addWidget(result);
    onSync([this, result, resultText] {
        const auto& r = model.checkResult();
        result->setVisible(r.has_value());
        if (r) {
            resultText->setText(QString::fromStdString(*r));
        }
    });
    sync();
}

} // namespace helm
