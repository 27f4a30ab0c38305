#include "windows/MapSwitcher.h"

#include "ui/Palette.h"
#include "windows/Desk3DHost.h"
#include "windows/LineLabel.h"
#include "windows/ScreenMap.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainterPath>
#include <QPushButton>
#include <QRegion>
#include <QVBoxLayout>

namespace helm {

MapSwitcher::MapSwitcher(DeskModel& model, Defaults& d, bool editable,
                         std::optional<std::string> target, QWidget* parent)
    : QWidget(parent), model_(model), editable_(editable), target_(std::move(target)),
      choice_(StoredChoice::shared(d, editable ? "map3d.edit" : "map3d", !editable)) {
    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(8);

    picker_ = new QWidget(this);
    picker_->setAccessibleName(QStringLiteral("Map"));
    picker_->setFixedWidth(120);
    auto* segments = new QHBoxLayout(picker_);
    segments->setContentsMargins(0, 0, 0, 0);
    segments->setSpacing(0);
    threeDButton_ = new QPushButton(QStringLiteral("3D"), picker_);
    flatButton_ = new QPushButton(QStringLiteral("Flat"), picker_);
    for (QPushButton* b : {threeDButton_, flatButton_}) {
        b->setCheckable(true);
        b->setAutoExclusive(true);
        b->setFont(uiFont(11, QFont::Medium));
        b->setFocusPolicy(Qt::TabFocus);
        // The chosen segment stands out from the other, as in a segmented control.
        b->setStyleSheet(
            QStringLiteral("QPushButton { background: %1; color: %2; border: 1px solid "
                           "%3; padding: 3px 0; }"
                           "QPushButton:checked { background: %3; color: %4; }")
                .arg(QColor(gPanel).name(), QColor(gMuted).name(),
                     QColor(gLine).lighter(160).name(), QColor(gInk).name()));
        segments->addWidget(b);
    }
    connect(threeDButton_, &QPushButton::clicked, this, [this] { choice_->set(true); });
    connect(flatButton_, &QPushButton::clicked, this, [this] { choice_->set(false); });
    column_->addWidget(picker_, 0, Qt::AlignRight);

    token_ = choice_->observers.add([this] { sync(); });
    sync();
}

MapSwitcher::~MapSwitcher() {
    choice_->observers.remove(token_);
}

void MapSwitcher::sync() {
    const bool three = threeD();
    (three ? threeDButton_ : flatButton_)->setChecked(true);
    picker_->setToolTip(three ? QStringLiteral("Drag to turn the desk, scroll to zoom")
                              : QStringLiteral("Drag a box to move it, drag its corner to resize"));
    if (content_ && contentIs3D_ == three) {
        return;
    }
    // A fresh view every time: the 3-D view's turn and zoom start again, and leaving it
    // destroys it.
    delete content_;
    if (three) {
        content_ = makeDesk3DView(model_, target_, this);
        content_->installEventFilter(this);
    } else {
        content_ = new ScreenMap(model_, editable_, target_, this);
    }
    contentIs3D_ = three;
    column_->addWidget(content_, 1);
    content_->show();
}

bool MapSwitcher::eventFilter(QObject* watched, QEvent* event) {
    // The 3-D view is cut to a rounded rectangle, as the flat map's panel is.
    if (watched == content_ && contentIs3D_ && event->type() == QEvent::Resize) {
        QPainterPath round;
        round.addRoundedRect(QRectF(content_->rect()), 12, 12);
        content_->setMask(QRegion(round.toFillPolygon().toPolygon()));
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace helm
