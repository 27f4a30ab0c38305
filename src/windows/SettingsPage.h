#pragma once

#include "windows/SettingsModel.h"

#include <QFont>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace helm {

class SettingsRow;

// One tab's page: elements stacked 18 px apart, built once and then brought up to date by sync
// from the model and the preferences. sync only shows values: controls are set under signal
// blockers, and a preference is written only when the user acts.
class SettingsPage : public QWidget {
public:
    SettingsPage(SettingsModel& model, QWidget* parent = nullptr);
    void sync();
    // The rows of the page in order, for the window's tests and readers.
    std::vector<SettingsRow*> rows() const;

protected:
    SettingsModel& model;
    Prefs& prefs;
    QVBoxLayout* stack;

    // Runs on every sync, in the order added.
    void onSync(std::function<void()> f) { syncs_.push_back(std::move(f)); }
    QLabel* addText(const std::string& s, double px, const QColor& color,
                    QFont::Weight weight = QFont::Normal);
    SettingsRow* addRow(const std::string& title, const std::string& help, QWidget* control);
    SettingsRow* addSwitch(const std::string& title, const std::string& help,
                           std::function<bool()> get, std::function<void(bool)> set);
    SettingsRow* addButtonRow(const std::string& title, const std::string& help,
                              const std::string& button, std::function<void()> fn);
    // A warning line that shows the model's message while there is one.
    void addMessage(std::function<const std::optional<std::string>&()> message);

private:
    std::vector<std::function<void()>> syncs_;
};

} // namespace helm
