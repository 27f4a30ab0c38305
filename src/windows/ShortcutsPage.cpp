#include "windows/ShortcutsPage.h"

#include "ui/Palette.h"
#include "windows/SettingsKit.h"

#include <QLabel>

namespace helm {

ShortcutsPage::ShortcutsPage(SettingsModel& m, QWidget* parent) : SettingsPage(m, parent) {
    // Super plays the role of Control here and Alt that of Option.
    static const char* const table[][2] = {
        {"Lock to the screen you're on", "Super+Alt+L"},
        {"Camera on or off", "Super+Alt+P"},
        {"Jump to screen 1–9", "Super+Alt+1 … Super+Alt+9"},
    };
    for (const auto& [title, keys] : table) {
        QLabel* k = SettingsKit::text(keys, 13, gInk);
        QFont f = k->font();
        f.setFamily("monospace");
        f.setStyleHint(QFont::Monospace);
        k->setFont(f);
        addRow(title, "Never sent to the other computer.", k);
    }
}

} // namespace helm
