#include "guide/FineTunePage.h"

#include "guide/GuideBlocks.h"
#include "windows/DeskView.h"

#include <QAbstractButton>
#include <QLabel>
#include <QVBoxLayout>

namespace helm {

FineTunePage::FineTunePage(OnboardingModel& model, DeskModel& desk, Defaults& defaults,
                           QWidget* parent)
    : GuidePage(model, parent) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(10);
    auto* header = new QVBoxLayout();
    header->setContentsMargins(40, 14, 40, 0);
    header->setSpacing(6);
    header->addWidget(GuideBlocks::text("Make it perfect (optional)", 22, gInk, QFont::DemiBold));
    header->addWidget(GuideBlocks::text(
        "Each box is a monitor where you look at it. Drag to move, drag the corner to resize. "
        "The green dot follows your head. Switch to 3D to see your desk from the side.",
        14, gMuted, QFont::Normal, true));
    v->addLayout(header);
    auto* view = new DeskView(desk, defaults, false);
    view->setFixedSize(920, 500);
    for (QAbstractButton* b : view->findChildren<QAbstractButton*>()) {
        b->setFocusPolicy(Qt::NoFocus);
    }
    auto* row = new QHBoxLayout();
    row->setContentsMargins(20, 0, 20, 0);
    row->addWidget(view);
    row->addStretch(1);
    v->addLayout(row);
    v->addStretch(1);
}

} // namespace helm
