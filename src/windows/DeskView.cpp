#include "windows/DeskView.h"

#include "ui/Palette.h"
#include "windows/DeskLegend.h"
#include "windows/LineLabel.h"
#include "windows/MapFrame.h"
#include "windows/MapSwitcher.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace helm {

namespace {

// The small green dot that keys the gaze marker.
class KeyDot : public QWidget {
public:
    explicit KeyDot(QWidget* parent) : QWidget(parent) { setFixedSize(8, 8); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(gLive);
        p.drawEllipse(QRectF(rect()));
    }
};

} // namespace

DeskView::DeskView(DeskModel& model, Defaults& d, bool showPairing, QWidget* parent)
    : QWidget(parent), showPairing_(showPairing) {
    auto* whole = new QHBoxLayout(this);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->setSpacing(0);

    mapPanel_ = new QWidget(this);
    mapPanel_->setFixedWidth(590);
    auto* map = new QVBoxLayout(mapPanel_);
    map->setContentsMargins(16, 16, 16, 16);
    map->setSpacing(8);
    auto* header = new QHBoxLayout;
    header->addWidget(new LineLabel(QStringLiteral("As you see them from your chair"),
                                    uiFont(12, QFont::DemiBold), gMuted, mapPanel_));
    header->addStretch(1);
    auto* key = new QHBoxLayout;
    key->setSpacing(6);
    key->addWidget(new KeyDot(mapPanel_));
    key->addWidget(new LineLabel(QStringLiteral("where you look"), uiFont(11), gMuted, mapPanel_));
    header->addLayout(key);
    map->addLayout(header);
    auto* panel = new MapFrame(gGround, mapPanel_);
    switcher_ = new MapSwitcher(model, d, true, std::nullopt, panel);
    panel->content()->addWidget(switcher_);
    map->addWidget(panel, 1);
    whole->addWidget(mapPanel_);

    auto* divider = new QWidget(this);
    divider->setFixedWidth(1);
    QPalette line = divider->palette();
    line.setColor(QPalette::Window, gLine);
    divider->setPalette(line);
    divider->setAutoFillBackground(true);
    whole->addWidget(divider);

    legend_ = new DeskLegend(model, showPairing, this);
    whole->addWidget(legend_, 1);
}

QSize DeskView::sizeHint() const {
    return {920, showPairing_ ? 600 : 500};
}

void DeskView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), gGround);
}

} // namespace helm
