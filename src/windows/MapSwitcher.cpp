#include "windows/MapSwitcher.h"

#include "ui/Palette.h"
#include "windows/Desk3DHost.h"
#include "windows/LineLabel.h"
#include "windows/ScreenMap.h"
#include "windows/Segmented.h"

#include <QVBoxLayout>

namespace helm {

MapSwitcher::MapSwitcher(DeskModel& model, Defaults& d, bool editable,
                         std::optional<std::string> target, QWidget* parent)
    : QWidget(parent), model_(model), editable_(editable), target_(std::move(target)),
      choice_(StoredChoice::shared(d, editable ? "map3d.edit" : "map3d", !editable)) {
    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(8);

    picker_ = new Segmented(
        {"3D", "Flat"}, 120, [this](int i) { choice_->set(i == 0); }, uiFont(11, QFont::Medium),
        this);
    picker_->setAccessibleName(QStringLiteral("Map"));
    column_->addWidget(picker_, 0, Qt::AlignRight);

    token_ = choice_->observers.add([this] { sync(); });
    sync();
}

MapSwitcher::~MapSwitcher() {
    choice_->observers.remove(token_);
}

QWidget* MapSwitcher::picker() const {
    return picker_;
}

QAbstractButton* MapSwitcher::segment(bool threeD) const {
    return picker_->segment(threeD ? 0 : 1);
}

void MapSwitcher::sync() {
    const bool three = threeD();
    picker_->select(three ? 0 : 1);
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
    } else {
        content_ = new ScreenMap(model_, editable_, target_, this);
    }
    contentIs3D_ = three;
    column_->addWidget(content_, 1);
    content_->show();
}

} // namespace helm
