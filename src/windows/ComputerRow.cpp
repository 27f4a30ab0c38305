#include "windows/ComputerRow.h"

#include "ui/Palette.h"
#include "windows/SettingsKit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace helm {

ComputerRow::ComputerRow(SettingsModel& model, const std::string& id, QWidget* parent)
    : QWidget(parent), model_(model), id_(id) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 4, 0, 4);
    row->setSpacing(12);
    icon_ = new SymbolIcon("pc", 18, gMuted, 26);
    row->addWidget(icon_);
    field_ = new QLineEdit();
    field_->setPlaceholderText("Name");
    field_->setFixedWidth(200);
    field_->setAccessibleName("Computer name");
    // Only the user's edits rename: a refresh's own setText must not rename again.
    QObject::connect(field_, &QLineEdit::textEdited, field_,
                     [this](const QString& t) { model_.onRename(id_, t.toStdString()); });
    row->addWidget(field_);
    monitors_ = SettingsKit::text("", 12, gMuted);
    row->addWidget(monitors_);
    auto* stateBox = new QHBoxLayout();
    stateBox->setSpacing(4);
    stateIcon_ = new SymbolIcon("circle", 10, gMuted, 14);
    stateBox->addWidget(stateIcon_);
    state_ = SettingsKit::text("", 12, gMuted);
    stateBox->addWidget(state_);
    row->addLayout(stateBox);
    row->addStretch(1);
    forget_ = SettingsKit::button("Forget", [this] { model_.onForget(id_); });
    forget_->setToolTip("Removes its monitors from Helmvantor. It can connect again later.");
    row->addWidget(forget_);
}

void ComputerRow::show(const SettingsModel::Computer& c) {
    icon_->set(c.local ? "laptopcomputer" : "pc", gMuted);
    QString name = QString::fromStdString(c.name);
    // Rewriting an equal text would move the cursor to the end.
    if (field_->text() != name) {
        field_->setText(name);
    }
    monitors_->setText(QString::number(c.monitors) + " monitor" + (c.monitors == 1 ? "" : "s"));
    bool on = c.local || c.online;
    QColor colour = on ? gLive : gMuted;
    stateIcon_->set(on ? "circle.fill" : "circle", colour);
    state_->setText(c.local ? "This computer" : c.online ? "Online" : "Offline");
    QPalette p = state_->palette();
    p.setColor(QPalette::WindowText, colour);
    state_->setPalette(p);
    forget_->setVisible(!c.local);
}

} // namespace helm
