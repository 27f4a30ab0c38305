#pragma once

#include <QColor>
#include <QWidget>

class QVBoxLayout;

namespace helm {

// The rounded panel the desk picture sits on: black at a quarter over the window's ground and
// an outline in the line colour. The outline and the round corners are drawn over whatever the
// panel holds, so the 3-D view and the 3D/Flat picker keep the border and the smooth corners.
class MapFrame : public QWidget {
public:
    // ground is the colour around the panel, which its corners show.
    explicit MapFrame(QColor ground, QWidget* parent = nullptr);

    // Where the picture goes, 1 px inside the outline.
    QVBoxLayout* content() const { return content_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    class Edge;
    QVBoxLayout* content_ = nullptr;
    Edge* edge_ = nullptr; // children made before it find it null
};

} // namespace helm
