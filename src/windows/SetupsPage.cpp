#include "windows/SetupsPage.h"

#include "ui/Palette.h"
#include "windows/SettingsKit.h"
#include "windows/SetupRow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace helm {

SetupsPage::SetupsPage(SettingsModel& m, QWidget* parent) : SettingsPage(m, parent) {
    addText("Each setup remembers its own screens, for example Home and Work. Helmvantor "
            "switches by itself when it recognises the monitors plugged into this computer.",
            13, gMuted);
    QPushButton* add = SettingsKit::button("New setup", [this] { model.onNewSetup(); });
    add->setText("+  New setup");
    add->setAccessibleName("New setup");
    auto* line = new QHBoxLayout();
    line->addWidget(add);
    line->addStretch(1);
    stack->addLayout(line);
    addText("A new setup starts as a copy of this desk, then Helmvantor learns it (about 20 "
            "seconds).",
            12, gMuted);
    onSync([this] { syncRows(); });
    sync();
}

// Rows stay where they are and only change what they show, so a field being typed in keeps
// its text, cursor and focus while the application refreshes.
void SetupsPage::syncRows() {
    const auto& names = model.setups();
    while (rows_.size() > names.size()) {
        delete rows_.back();
        rows_.pop_back();
    }
    while (rows_.size() < names.size()) {
        auto* r = new SetupRow(model, this);
        stack->insertWidget(1 + static_cast<int>(rows_.size()), r);
        rows_.push_back(r);
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        rows_[i]->show(names[i], names[i] == model.activeSetup(), names.size() == 1);
    }
}

} // namespace helm
