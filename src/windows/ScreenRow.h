#pragma once

#include "desk/Screen.h"

#include <QColor>
#include <QWidget>

#include <functional>
#include <string>

class QPushButton;

namespace helm {

class LineLabel;

// One screen in the desk legend: its number on the computer's colour, computer and monitor
// names, whether it is calibrated and a button to calibrate it again. A tap anywhere but the
// button selects the screen. Rows are reused: fill() updates one in place.
class ScreenRow : public QWidget {
public:
    explicit ScreenRow(QWidget* parent = nullptr);

    // online: the screen's computer is this one or a connected PC.
    void fill(const Screen& screen, bool selected, bool online, const QColor& color);

    std::function<void(const std::string& id)> onSelect;
    std::function<void(const std::string& id)> onRelearn;

    bool selected() const { return selected_; }
    const std::string& id() const { return id_; }
    LineLabel* computerLabel() const { return computer_; }
    LineLabel* nameLabel() const { return name_; }
    LineLabel* stateLabel() const { return state_; }
    QPushButton* relearnButton() const { return relearn_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    std::string id_;
    int number_ = 0;
    bool selected_ = false;
    QColor color_;
    QWidget* badge_ = nullptr;
    LineLabel* computer_ = nullptr;
    LineLabel* name_ = nullptr;
    LineLabel* state_ = nullptr;
    QPushButton* relearn_ = nullptr;
};

} // namespace helm
