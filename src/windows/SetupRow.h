#pragma once

#include <QWidget>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace helm {

class SettingsModel;
class SymbolIcon;

// One named setup: whether it is in use, its name to edit (committed with Return), "Use" and
// the trash button. Kept across refreshes, so typing and focus survive them.
class SetupRow : public QWidget {
public:
    explicit SetupRow(SettingsModel& model, QWidget* parent = nullptr);

    // Shows the setup; the field is rewritten only when the name itself changed.
    void show(const std::string& name, bool active, bool only);
    const std::string& name() const { return name_; }
    QLineEdit* field() const { return field_; }
    QPushButton* use() const { return use_; }
    QPushButton* trash() const { return trash_; }
    QLabel* inUse() const { return inUse_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SettingsModel& model_;
    std::string name_;
    bool shown_ = false;
    SymbolIcon* icon_;
    QLineEdit* field_;
    QLabel* inUse_;
    QPushButton* use_;
    QPushButton* trash_;
};

} // namespace helm
