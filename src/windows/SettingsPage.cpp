#include "windows/SettingsPage.h"

#include "ui/Palette.h"
#include "windows/SettingsKit.h"
#include "windows/SettingsRow.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace helm {

SettingsPage::SettingsPage(SettingsModel& m, QWidget* parent)
    : QWidget(parent), model(m), prefs(m.prefs), stack(new QVBoxLayout(this)) {
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(18);
}

void SettingsPage::sync() {
    for (const auto& f : syncs_) {
        f();
    }
}

std::vector<SettingsRow*> SettingsPage::rows() const {
    std::vector<SettingsRow*> out;
    for (int i = 0; i < stack->count(); ++i) {
        if (auto* r = dynamic_cast<SettingsRow*>(stack->itemAt(i)->widget())) {
            if (!r->isHidden()) {
                out.push_back(r);
            }
        }
    }
    return out;
}

QLabel* SettingsPage::addText(const std::string& s, double px, const QColor& color,
                              QFont::Weight weight) {
    QLabel* l = SettingsKit::text(s, px, color, weight, true);
    stack->addWidget(l);
    return l;
}

SettingsRow* SettingsPage::addRow(const std::string& title, const std::string& help,
                                  QWidget* control) {
    auto* r = new SettingsRow(title, help, control, this);
    stack->addWidget(r);
    return r;
}

SettingsRow* SettingsPage::addSwitch(const std::string& title, const std::string& help,
                                     std::function<bool()> get, std::function<void(bool)> set) {
    auto* s = new SettingsSwitch();
    s->setAccessibleName(QString::fromStdString(title));
    QObject::connect(s, &QAbstractButton::toggled, s, [set = std::move(set)](bool on) { set(on); });
    onSync([s, get = std::move(get)] {
        QSignalBlocker block(s);
        s->setChecked(get());
    });
    return addRow(title, help, s);
}

void SettingsPage::addMessage(std::function<const std::optional<std::string>&()> message) {
    QLabel* line = addText("", 12, gWarn);
    onSync([line, message = std::move(message)] {
        const std::optional<std::string>& m = message();
        line->setVisible(m.has_value());
        if (m && line->text().toStdString() != *m) {
            line->setText(QString::fromStdString(*m));
        }
    });
}

SettingsRow* SettingsPage::addButtonRow(const std::string& title, const std::string& help,
                                        const std::string& button, std::function<void()> fn) {
    return addRow(title, help, SettingsKit::button(button, std::move(fn)));
}

} // namespace helm
