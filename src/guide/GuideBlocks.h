#pragma once

#include "ui/Palette.h"

#include <QColor>
#include <QFont>
#include <QWidget>

#include <string>

class QLabel;
class QVBoxLayout;

namespace helm {

class SymbolIcon;

// The small pieces every page of the set-up guide is made of, so the pages look alike.
namespace GuideBlocks {

// A text in the UI font at px pixels, its accessible name the text; wrapped texts grow in
// height for their width.
QLabel* text(const std::string& s, double px, const QColor& color = gInk,
             QFont::Weight weight = QFont::Normal, bool wrap = false);
// Changes a text made above, keeping its accessible name in step.
void setText(QLabel* label, const std::string& s);
// Makes a wrapped text at least as tall as its lines are at width: layouts ask it at its
// natural size, which gives too few lines. A label whose text was never set has no height for
// a width; it gets none.
void fitHeight(QLabel* label, int width);
// A numbered instruction: the number in a green ring, then the text.
QWidget* numbered(int n, const std::string& text);
// An icon line: a tinted symbol, a heading and a short muted text below it.
QWidget* line(const std::string& symbol, const std::string& heading, const std::string& text,
              const QColor& tint = gLive);

} // namespace GuideBlocks

// A page's heading (30 px, a header for screen readers) over a muted subtitle at most 640 px
// wide; both wrap.
class TitleBlock : public QWidget {
public:
    TitleBlock(const std::string& heading, const std::string& subtitle, QWidget* parent = nullptr);
    void set(const std::string& heading, const std::string& subtitle);
    QLabel* heading() const { return heading_; }
    QLabel* subtitle() const { return subtitle_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* heading_;
    QLabel* subtitle_;
};

// A status line: a green tick and the first text when ok, an orange clock and the second when
// not. Its accessible name is the text shown.
class CheckLine : public QWidget {
public:
    CheckLine(bool ok, const std::string& yes, const std::string& no, QWidget* parent = nullptr);
    void set(bool ok, const std::string& yes, const std::string& no);
    bool ok() const { return ok_; }
    QLabel* label() const { return label_; }
    SymbolIcon* icon() const { return icon_; }

private:
    bool ok_ = false;
    SymbolIcon* icon_;
    QLabel* label_;
};

// A rounded dark panel with an outline; its content goes into content(), a leading-aligned
// column 12 px apart inside 20 px of padding.
class Card : public QWidget {
public:
    explicit Card(QWidget* parent = nullptr);
    QVBoxLayout* content() const { return content_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* content_;
};

} // namespace helm
