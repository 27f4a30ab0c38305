#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <string>

class QPushButton;

namespace helm {

// The UI font at a whole pixel size, so a size reads the same on every screen.
QFont uiFont(int px, QFont::Weight weight = QFont::Normal);

// Makes a push button borderless: only its text, in color, fading to the secondary ink when
// disabled.
void makeBorderless(QPushButton* button, const QColor& color);

// One line of text, cut with an ellipsis at the right when narrower than its text, optionally
// led by one of the drawn symbols; text and symbol share the colour.
class LineLabel : public QWidget {
public:
    LineLabel(const QString& text, const QFont& font, const QColor& color,
              QWidget* parent = nullptr);

    // Each redraws only when the value differs.
    void setText(const QString& text);
    void setSymbol(const std::string& name);
    void setColor(const QColor& color);

    QString text() const { return text_; }
    const std::string& symbol() const { return symbol_; }
    QColor color() const { return color_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    double symbolWidth() const;

    QString text_;
    std::string symbol_;
    QColor color_;
};

} // namespace helm
