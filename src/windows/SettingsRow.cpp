#include "windows/SettingsRow.h"

#include "ui/Palette.h"
#include "windows/SettingsKit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace helm {

SettingsRow::SettingsRow(const std::string& title, const std::string& help, QWidget* control,
                         QWidget* parent)
    : QWidget(parent), control_(control) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 6, 0, 6);
    row->setSpacing(0);
    auto* words = new QVBoxLayout();
    words->setSpacing(2);
    title_ = SettingsKit::text(title, 14, gInk);
    help_ = SettingsKit::text(help, 12, gMuted, QFont::Normal, true);
    words->addWidget(title_);
    words->addWidget(help_);
    row->addLayout(words, 1);
    row->addSpacing(12 + 8); // the minimum gap, and the stack's own spacing
    row->addWidget(control, 0, Qt::AlignVCenter);
    setAccessibleName(QString::fromStdString(title));
    setAccessibleDescription(QString::fromStdString(help));
}

void SettingsRow::setHelp(const std::string& help) {
    QString h = QString::fromStdString(help);
    if (help_->text() != h) {
        help_->setText(h);
        setAccessibleDescription(h);
    }
}

QString SettingsRow::title() const {
    return title_->text();
}

QString SettingsRow::help() const {
    return help_->text();
}

} // namespace helm
