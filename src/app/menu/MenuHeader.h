#pragma once

#include <QWidget>

#include <array>

class QLabel;

namespace helm {

class MenuModel;
class QuickButton;

// The top of the status menu: a state symbol, the title and detail lines, and the four quick
// buttons. Follows its model.
class MenuHeader : public QWidget {
    Q_OBJECT
public:
    explicit MenuHeader(MenuModel& model, QWidget* parent = nullptr);

    MenuModel& model;

    const QLabel& title() const { return *title_; }
    const QLabel& detail() const { return *detail_; }
    QuickButton& button(int i) const { return *buttons_.at(i); }
    // The symbol's name, for what is drawn now.
    const char* symbol() const;

protected:
    // The symbol and the detail take their muted colour from the palette, which changes as
    // the header goes into the menu.
    void changeEvent(QEvent* event) override;

private:
    QLabel* symbol_;
    QLabel* title_;
    QLabel* detail_;
    std::array<QuickButton*, 4> buttons_{};

    void follow();
};

} // namespace helm
