#pragma once

#include <QWidget>

#include <string>

class QLabel;

namespace helm {

// One labelled setting: the title over a wrapped help text on the left, the control on the
// right. The help may change (computed helps are rewritten on every refresh).
class SettingsRow : public QWidget {
public:
    SettingsRow(const std::string& title, const std::string& help, QWidget* control,
                QWidget* parent = nullptr);

    void setHelp(const std::string& help);
    QString title() const;
    QString help() const;
    QWidget* control() const { return control_; }

private:
    QLabel* title_;
    QLabel* help_;
    QWidget* control_;
};

} // namespace helm
