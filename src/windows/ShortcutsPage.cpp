#include "windows/ShortcutsPage.h"

#include "input/Hotkeys.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "windows/SettingsKit.h"

#include <QLabel>

namespace helm {

ShortcutsPage::ShortcutsPage(SettingsModel& m, QWidget* parent) : SettingsPage(m, parent) {
    const std::pair<const char*, std::string> table[] = {
        {"Lock to the screen you're on", Hotkeys::lock()},
        {"Camera on or off", Hotkeys::camera()},
        {"Jump to screen 1–9", Hotkeys::jumpList()},
    };
    for (const auto& [title, keys] : table) {
        QLabel* k = SettingsKit::text(keys, 13, gInk);
        k->setFont(Fonts::mono(13, QFont::Normal));
        addRow(title, "Never sent to the other computer.", k);
    }
    addMessage([this]() -> const std::optional<std::string>& { return model.hotkeysMessage(); });
}

} // namespace helm
