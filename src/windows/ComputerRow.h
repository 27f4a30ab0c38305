#pragma once

#include "windows/SettingsModel.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace helm {

class SymbolIcon;

// One computer of the desk: its icon, its name (every keystroke renames it), how many
// monitors it has, whether it is here, online or offline, and "Forget" for a PC. Kept across
// refreshes so the field keeps focus, cursor and what the user typed.
class ComputerRow : public QWidget {
public:
    ComputerRow(SettingsModel& model, const std::string& id, QWidget* parent = nullptr);

    void show(const SettingsModel::Computer& c);
    QLineEdit* field() const { return field_; }
    QLabel* monitors() const { return monitors_; }
    QLabel* state() const { return state_; }
    SymbolIcon* stateIcon() const { return stateIcon_; }
    SymbolIcon* icon() const { return icon_; }
    QPushButton* forget() const { return forget_; }

private:
    SettingsModel& model_;
    std::string id_;
    SymbolIcon* icon_;
    QLineEdit* field_;
    QLabel* monitors_;
    SymbolIcon* stateIcon_;
    QLabel* state_;
    QPushButton* forget_;
};

} // namespace helm
