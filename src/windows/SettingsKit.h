#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QPushButton;

// The small pieces every settings page is made of.
namespace helm::SettingsKit {

// A text in the UI font at px pixels; wrapped texts grow in height for their width.
QLabel* text(const std::string& s, double px, const QColor& color,
             QFont::Weight weight = QFont::Normal, bool wrap = false);
// A standard push button calling fn when clicked.
QPushButton* button(const std::string& s, std::function<void()> fn);

} // namespace helm::SettingsKit

namespace helm {

// A named symbol, drawn in a colour, centred in its box.
class SymbolIcon : public QWidget {
public:
    SymbolIcon(std::string name, double px, QColor color, int boxWidth, QWidget* parent = nullptr);
    void set(const std::string& name, const QColor& color);
    const std::string& name() const { return name_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string name_;
    double px_;
    QColor color_;
};

// The on/off switch: a small painted checkable button. Clicking flips it and emits toggled;
// setChecked under a signal blocker only shows a value.
class SettingsSwitch : public QAbstractButton {
public:
    explicit SettingsSwitch(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {34, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace helm
