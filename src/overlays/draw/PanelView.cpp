#include "overlays/draw/PanelView.h"

#include "overlays/draw/HUDModel.h"
#include "overlays/draw/Paint.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

namespace helm {

namespace {

constexpr double boxW = 280;
constexpr double boxH = 74;
constexpr double padX = 14;
constexpr double inner = boxW - 2 * padX;

// The text wrapped into at most two lines of the width; what does not fit ends in "…".
QStringList twoLines(const QString& text, const QFont& font, double width) {
    QTextLayout layout(text, font);
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(wrap);
    QStringList out;
    layout.beginLayout();
    QTextLine first = layout.createLine();
    if (!first.isValid()) {
        layout.endLayout();
        return out;
    }
    first.setLineWidth(width);
    out << text.mid(first.textStart(), first.textLength()).trimmed();
    QTextLine second = layout.createLine();
    layout.endLayout();
    if (second.isValid()) {
        QFontMetricsF fm(font);
        out << fm.elidedText(text.mid(first.textStart() + first.textLength()).trimmed(),
                             Qt::ElideRight, width);
    }
    return out;
}

// An icon and its one-line title, at most width wide; gives the width used.
double iconLabel(QPainter& g, const char* icon, const QString& title, double x, double y, double h,
                 double width) {
    const double iconW = 15;
    const double gap = 5;
    QFontMetricsF fm(g.font(), g.device());
    QString shown = fm.elidedText(title, Qt::ElideRight, std::max(width - iconW - gap, 0.0));
    g.fillPath(Symbols::path(icon, 12).translated(x + iconW / 2, y + h / 2), gMuted);
    g.drawText(QRectF(x + iconW + gap, y, width - iconW - gap, h), Qt::AlignLeft | Qt::AlignVCenter,
               shown);
    return iconW + gap + fm.horizontalAdvance(shown);
}

} // namespace

PanelView::PanelView(HUDModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setAttribute(Qt::WA_TranslucentBackground);
    QObject::connect(&model_, &HUDModel::changed, this, [this] {
        const HUDState& s = model_.state();
        // One element for assistive technology: what the box says, read as one.
        setAccessibleName(
            QString::fromStdString(s.line()) +
            (s.camera ? QStringLiteral(", Camera on") : QStringLiteral(", Camera off")));
        update();
    });
}

void PanelView::paint(QPainter& g, const HUDState& state, const std::optional<std::string>& note) {
    const bool warn = state.warn();
    g.save();
    g.setRenderHint(QPainter::Antialiasing);
    QPainterPath box;
    box.addRoundedRect(QRectF(0, 0, boxW, boxH), 14, 14);
    g.fillPath(box, paint::withAlpha(gGround, 0.94));
    g.strokePath(box, paint::pen(warn ? paint::withAlpha(gWarn, 0.6) : gLine, 1));

    QFont status = Fonts::font(13, QFont::DemiBold, g.device());
    QFont small = Fonts::font(12, QFont::Normal, g.device());
    QFontMetricsF fs(status, g.device());
    QFontMetricsF fm(small, g.device());
    const double h1 = fs.height();
    QStringList noteLines;
    if (note) {
        noteLines = twoLines(QString::fromStdString(*note), small, inner);
    }
    const double h2 =
        note ? std::max<qsizetype>(noteLines.size(), 1) * fm.lineSpacing() : fm.height();
    // The column is centred in the box's height.
    const double top = (boxH - (h1 + 8 + h2)) / 2;

    // First row: dot, status line, room, camera sign.
    const double mid = top + h1 / 2;
    g.fillPath(paint::circle(QPointF(padX + 4, mid), 4), warn ? gWarn : gLive);
    const double signW = 14;
    const double textX = padX + 8 + 8;
    const double textW = inner - 8 - 8 - 8 - 8 - signW;
    g.setFont(status);
    g.setPen(warn ? gWarn : gInk);
    g.drawText(QRectF(textX, top, textW, h1), Qt::AlignLeft | Qt::AlignVCenter,
               fs.elidedText(QString::fromStdString(state.line()), Qt::ElideRight, textW));
    g.fillPath(Symbols::path(state.camera ? "video.fill" : "video.slash", 11)
                   .translated(padX + inner - signW / 2, mid),
               state.camera ? gMuted : gWarn);

    // Second row: the note, or where keys and mouse are.
    const double y2 = top + h1 + 8;
    g.setFont(small);
    if (note) {
        g.setPen(gLive);
        for (int i = 0; i < noteLines.size(); ++i) {
            g.drawText(QRectF(padX, y2 + i * fm.lineSpacing(), inner, fm.lineSpacing()),
                       Qt::AlignLeft | Qt::AlignVCenter, noteLines[i]);
        }
    } else {
        g.setPen(gMuted);
        const QString keys = QString::fromStdString(state.keys);
        const QString mouse = QString::fromStdString(state.mouse);
        const double natural = 20 + fm.horizontalAdvance(mouse);
        // The keys label gives way first when both do not fit.
        double keysW = std::max(inner - 14 - std::min(natural, (inner - 14) / 2), 0.0);
        double used = iconLabel(g, "keyboard", keys, padX, y2, h2, keysW);
        iconLabel(g, "computermouse", mouse, padX + used + 14, y2, h2, inner - used - 14);
    }
    g.restore();
}

void PanelView::paintEvent(QPaintEvent*) {
    QPainter g(this);
    paint(g, model_.state(), model_.note());
}

} // namespace helm
