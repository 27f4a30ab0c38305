#pragma once

#include <QWidget>

namespace helm {

class FeedModel;

// Where the live camera picture goes: for now a plain panel of the camera's 4:3 shape.
class CameraBox : public QWidget {
public:
    CameraBox(FeedModel* feed, int width, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace helm
