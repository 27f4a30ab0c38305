#pragma once

#include <QAbstractButton>

#include <string>

namespace helm {

// The guide's button for everything but moving on: light text, an outline, a grey fill while
// pressed; optionally a symbol before the text. Takes no keyboard focus.
class QuietButton : public QAbstractButton {
public:
    explicit QuietButton(const QString& text, QWidget* parent = nullptr);

    // The symbol drawn before the text; empty for none.
    void setSymbol(std::string name);
    const std::string& symbol() const { return symbol_; }
    // Text and accessible name together.
    void setLabel(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string symbol_;
    double symbolWidth() const;
};

} // namespace helm
