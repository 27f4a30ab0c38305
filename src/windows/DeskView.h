#pragma once

#include "desk/Defaults.h"
#include "desk/DeskModel.h"

#include <QWidget>

namespace helm {

class DeskLegend;
class MapSwitcher;

// The desk window's content: the desk picture (flat or 3-D, editable) on the left and the
// legend of screens on the right. It reads only the model and the defaults it is given, so the
// guide and the image renderer host it too; without pairing it is made for a 500-high page.
class DeskView : public QWidget {
public:
    DeskView(DeskModel& model, Defaults& d, bool showPairing = true, QWidget* parent = nullptr);

    MapSwitcher* switcher() const { return switcher_; }
    DeskLegend* legend() const { return legend_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const bool showPairing_;
    QWidget* mapPanel_ = nullptr;
    MapSwitcher* switcher_ = nullptr;
    DeskLegend* legend_ = nullptr;
};

} // namespace helm
