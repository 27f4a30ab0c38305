#include "windows/SwitchingPage.h"

#include "ui/Fonts.h"
#include "windows/Segmented.h"
#include "windows/SettingsKit.h"
#include "windows/SettingsRow.h"

#include <QSignalBlocker>
#include <QSlider>

#include <cmath>
#include <cstdio>

namespace helm {

SwitchingPage::SwitchingPage(SettingsModel& m, QWidget* parent) : SettingsPage(m, parent) {
    auto* speed = new Segmented(
        {"Fast", "Normal", "Steady"}, 220, [this](int i) { prefs.setSpeed(i); },
        Fonts::font(12, QFont::Normal));
    addRow("How quickly it switches",
           "Steady ignores quick looks somewhere else; Fast reacts sooner.", speed);
    onSync([this, speed] {
        int s = prefs.speed();
        speed->select(s >= 0 && s <= 2 ? s : -1);
    });
    addSwitch(
        "Use every computer's keyboard and mouse",
        "Type or move the mouse on any computer: it goes to the screen you're looking at. Turn "
        "off so a PC's keyboard and mouse only ever control that PC.",
        [this] { return prefs.allInputs(); }, [this](bool v) { prefs.setAllInputs(v); });
    addSwitch(
        "Mouse jumps to the monitor", "Back to where you left it on that monitor.",
        [this] { return prefs.mouseJump(); }, [this](bool v) { prefs.setMouseJump(v); });

    // Whole steps of 0.1 from 0.5 to 2.0, so the stored value is always a step.
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(5, 20);
    slider->setFixedWidth(180);
    slider->setAccessibleName("Mouse speed on your PCs");
    SettingsRow* row = addRow("Mouse speed on your PCs", "", slider);
    QObject::connect(slider, &QSlider::valueChanged, slider,
                     [this](int k) { prefs.setPcPointer(k / 10.0); });
    onSync([this, slider, row] {
        QSignalBlocker block(slider);
        slider->setValue(static_cast<int>(std::lround(prefs.pcPointer() * 10)));
        char help[160];
        std::snprintf(help, sizeof help,
                      "%.1f× this computer's speed. Windows adds its own acceleration, so match it "
                      "here.",
                      prefs.pcPointer());
        row->setHelp(help);
    });
    addSwitch(
        "Mouse-to-edge backup",
        "Push the mouse past the side of a screen to go to the computer next to it. Works with "
        "the camera off.",
        [this] { return prefs.edgeBackup(); }, [this](bool v) { prefs.setEdgeBackup(v); });
    sync();
}

} // namespace helm
