#include "windows/SetupRow.h"

#include "ui/Palette.h"
#include "windows/SettingsKit.h"
#include "windows/SettingsModel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace helm {

namespace {

// The trash can, drawn small on the button.
QIcon trashIcon() {
    QPixmap pm(28, 28);
    pm.setDevicePixelRatio(2);
    pm.fill(Qt::transparent);
    QPainter g(&pm);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(QPen(gWarn, 1.3));
    g.setBrush(Qt::NoBrush);
    g.drawLine(QPointF(2.5, 4), QPointF(11.5, 4));
    g.drawLine(QPointF(5.5, 2.5), QPointF(8.5, 2.5));
    g.drawRoundedRect(QRectF(3.5, 4, 7, 8.5), 1.2, 1.2);
    return QIcon(pm);
}

} // namespace

SetupRow::SetupRow(SettingsModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(12);
    icon_ = new SymbolIcon("circle", 14, gMuted, 18);
    row->addWidget(icon_);
    field_ = new QLineEdit();
    field_->setPlaceholderText("Name");
    field_->setFixedWidth(220);
    field_->setAccessibleName("Setup name");
    // Return commits; leaving the field does not.
    QObject::connect(field_, &QLineEdit::returnPressed, field_,
                     [this] { model_.onRenameSetup(name_, field_->text().toStdString()); });
    row->addWidget(field_);
    inUse_ = SettingsKit::text("In use", 12, gLive);
    row->addWidget(inUse_);
    row->addStretch(1);
    use_ = SettingsKit::button("Use", [this] { model_.onUseSetup(name_); });
    row->addWidget(use_);
    trash_ = SettingsKit::button("", [this] { model_.onDeleteSetup(name_); });
    trash_->setIcon(trashIcon());
    row->addWidget(trash_);
}

void SetupRow::show(const std::string& name, bool active, bool only) {
    if (!shown_ || name != name_) {
        field_->setText(QString::fromStdString(name));
    }
    shown_ = true;
    name_ = name;
    icon_->set(active ? "checkmark.circle.fill" : "circle", active ? gLive : gMuted);
    inUse_->setVisible(active);
    use_->setVisible(!active);
    trash_->setVisible(!only);
    QString del = "Delete " + QString::fromStdString(name);
    trash_->setToolTip(del);
    trash_->setAccessibleName(del);
}

void SetupRow::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    QPainterPath p;
    p.addRoundedRect(QRectF(rect()), 9, 9);
    g.fillPath(p, gPanel);
}

} // namespace helm
