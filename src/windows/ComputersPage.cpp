#include "windows/ComputersPage.h"

#include "desk/PCName.h"
#include "platform/Paths.h"
#include "ui/Palette.h"
#include "windows/ComputerRow.h"
#include "windows/SettingsKit.h"
#include "windows/SettingsRow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace helm {

std::string ComputersPage::keptText(const std::string& file) {
    std::string shown = file;
    const std::string home = paths::home();
    if (!home.empty() && shown.rfind(home + "/", 0) == 0) {
        shown = "~" + shown.substr(home.size());
    }
    return "The keyring can't be used, so the PCs' keys are kept in " + shown +
           ", a file only you can read. They move into the keyring once it can be used.";
}

ComputersPage::ComputersPage(SettingsModel& m, QWidget* parent) : SettingsPage(m, parent) {
    auto* buttons = new QHBoxLayout();
    buttons->setSpacing(10);
    buttons->addWidget(SettingsKit::button("Add a PC…", [this] { model.onAddPC(); }));
    buttons->addWidget(
        SettingsKit::button("Show numbers on screens", [this] { model.onIdentify(); }));
    buttons->addStretch(1);
    stack->addLayout(buttons);
    QLabel* pairNote = SettingsKit::text("", 13, gWarn, QFont::DemiBold, true);
    stack->addWidget(pairNote);
    onSync([this, pairNote] {
        pairNote->setVisible(model.pairNote().has_value());
        pairNote->setText(QString::fromStdString(model.pairNote().value_or("")));
    });
    addSwitch(
        "Only connect over Tailscale",
        "Helmvantor is then invisible on the network you're on (a café, the office) and only "
        "your own Tailscale devices can reach it. Your PCs need Tailscale too.",
        [this] { return prefs.tailscaleOnly(); }, [this](bool v) { prefs.setTailscaleOnly(v); });
    SettingsRow* allowed = addButtonRow("PCs whose keyboard and mouse may control this computer",
                                        "", "Ask again", [this] { prefs.setAllowedPCs({}); });
    onSync([this, allowed] {
        const auto& ids = prefs.allowedPCs();
        allowed->setVisible(!ids.empty());
        std::string help;
        for (const std::string& id : ids) {
            help += (help.empty() ? "" : ", ") + shownPCName(id);
        }
        allowed->setHelp(help);
    });
    auto* divider = new QFrame();
    divider->setFixedHeight(1);
    divider->setAutoFillBackground(true);
    QPalette p = divider->palette();
    p.setColor(QPalette::Window, gLine);
    divider->setPalette(p);
    stack->addWidget(divider);
    addButtonRow("Start over with a new secret",
                 "Every PC has to be paired again. Use this if a PC was lost or given away.",
                 "New secret…", [this] { model.onNewSecret(); });
    QLabel* kept = addText("", 12, gMuted);
    kept->setWordWrap(true);
    onSync([this, kept] {
        const std::optional<std::string>& file = model.secretsFile();
        kept->setVisible(file.has_value());
        kept->setText(QString::fromStdString(keptText(file.value_or(""))));
    });
    onSync([this] { syncRows(); });
    sync();
}

std::vector<ComputerRow*> ComputersPage::computerRows() const {
    std::vector<ComputerRow*> out;
    for (const auto& c : model.computers()) {
        auto it = rows_.find(c.id);
        if (it != rows_.end()) {
            out.push_back(it->second);
        }
    }
    return out;
}

// Rows are keyed by computer id and updated in place: a row made again would lose the name
// field's focus and what the user is typing.
void ComputersPage::syncRows() {
    const auto& list = model.computers();
    for (auto it = rows_.begin(); it != rows_.end();) {
        bool kept = false;
        for (const auto& c : list) {
            kept = kept || c.id == it->first;
        }
        if (kept) {
            ++it;
        } else {
            delete it->second;
            it = rows_.erase(it);
        }
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        ComputerRow*& row = rows_[list[i].id];
        if (row == nullptr) {
            row = new ComputerRow(model, list[i].id, this);
        }
        if (stack->indexOf(row) != static_cast<int>(i)) {
            stack->removeWidget(row);
            stack->insertWidget(static_cast<int>(i), row);
        }
        row->show(list[i]);
    }
}

} // namespace helm
