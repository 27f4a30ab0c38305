#include "windows/GeneralPage.h"

#include "ui/Palette.h"
#include "windows/SettingsRow.h"

#include <QLabel>
#include <QVBoxLayout>

namespace helm {

GeneralPage::GeneralPage(SettingsModel& m, QWidget* parent) : SettingsPage(m, parent) {
    // The switch shows what the system reports; a refused change snaps back on the next sync.
    addSwitch(
        "Start Helmvantor when you log in", "Opens quietly in the tray.",
        [this] { return model.startAtLogin(); },
        [this](bool on) {
            model.setStartAtLogin(on);
            sync();
        });
    addMessage([this]() -> const std::optional<std::string>& { return model.loginMessage(); });
    addSwitch(
        "Floating panel",
        "A small panel in the bottom-right corner: which screen has your keys and mouse. The "
        "tray icon shows the same.",
        [this] { return prefs.panel(); }, [this](bool v) { prefs.setPanel(v); });
    addSwitch(
        "Sounds", "A soft chime during setup.", [this] { return prefs.sounds(); },
        [this](bool v) { prefs.setSounds(v); });
    addSwitch(
        "Spoken instructions", "Helmvantor says where to look during setup.",
        [this] { return prefs.voice(); }, [this](bool v) { prefs.setVoice(v); });
    addButtonRow("Reset to defaults",
                 "Every setting above and in the other tabs goes back to how Helmvantor starts. "
                 "Your computers and screens stay.",
                 "Reset", [this] { model.onReset(); });
    sync();
}

} // namespace helm
