#pragma once

#include "desk/DeskModel.h"
#include "desk/Observers.h"
#include "windows/MapGeometry.h"

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

namespace helm {

// The desk drawn flat in angle space: a 10-degree grid, one box per screen, where the user
// looks now. When editable, dragging a box moves its screen and dragging its corner handle
// resizes it; each step of a drag goes straight into the model's layout and its onChange. On
// every map a tap on a box selects its screen.
class ScreenMap : public QWidget {
public:
    ScreenMap(DeskModel& model, bool editable, std::optional<std::string> target = std::nullopt,
              QWidget* parent = nullptr);
    ~ScreenMap() override;

    // The mapping the map draws with now: held still during a drag, else fitted to its size
    // and the gaze; nothing while the map has no area.
    std::optional<MapGeometry::Fit> mapping() const;
    bool dragging() const { return frozen_.has_value(); }

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    struct Press {
        QPointF global;
        MapGeometry::Hit hit;
        Screen screen;
    };

    void follow();
    void endGesture();
    void drag(const Press& press, QPointF global);
    std::vector<MapGeometry::Box> boxes(const MapGeometry::Fit& f) const;
    // Keeps one invisible, click-through child per box and per handle, so that screen readers
    // find the painted boxes by name and place.
    void placeAccessibleItems();

    DeskModel& model_;
    const bool editable_;
    const std::optional<std::string> target_;
    Observers::Token token_ = 0;
    // Both set from a drag's first move until its end, so the map neither rescales nor
    // recentres under the pointer.
    std::optional<MapGeometry::Fit> frozen_;
    std::optional<Screen> dragStart_;
    std::optional<Press> press_;
    std::vector<QWidget*> items_;
    QImage grid_;
    // Made once per map: building fonts and outlining the symbol cost more than a box.
    const QFont nameFont_;
    const QFont warnFont_;
    const QPainterPath arrow_;
    MapGeometry::Fit gridFit_;
};

} // namespace helm
