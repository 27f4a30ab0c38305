#include "gaze/feed/CameraFeedView.h"

#include "gaze/feed/DistanceMeter.h"
#include "gaze/feed/FeedModel.h"
#include "gaze/feed/PreviewView.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace helm {

namespace {

constexpr double kRadius = 12;
constexpr double kPadX = 12;
constexpr double kPadY = 9;
constexpr double kMinGap = 8;
constexpr double kRowGap = 6; // between the hint and the meter below it

} // namespace

// The layers over the picture: the framing guide, the face box, the hint bar and the outline.
class CameraFeedView::Guides : public QWidget {
public:
    explicit Guides(CameraFeedView& view) : QWidget(&view), view_(view) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

    double textHeight() const { return QFontMetricsF(view_.hintFont(1.0)).height(); }
    double meterHeight() const {
        return view_.meter_ != nullptr ? double(view_.meter_->sizeHint().height()) : 0;
    }
    double barHeight() const {
        const double text = textHeight();
        if (view_.hintLayout().stacked) {
            return text + kRowGap + meterHeight() + 2 * kPadY;
        }
        return std::max(text, meterHeight()) + 2 * kPadY;
    }
    // The meter's row, from the top of the bar.
    double meterRowTop() const {
        return view_.hintLayout().stacked ? kPadY + textHeight() + kRowGap : 0;
    }
    double meterRowHeight() const {
        return view_.hintLayout().stacked ? meterHeight() : barHeight();
    }
    double iconSize() const { return view_.compact_ ? 12 : 13; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter g(this);
        g.setRenderHint(QPainter::Antialiasing);
        const double W = width();
        const double H = height();
        QPainterPath clip;
        clip.addRoundedRect(QRectF(rect()), kRadius, kRadius);
        g.setClipPath(clip);

        QPen dash(QColor(255, 255, 255, 140), 1.5, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        dash.setDashPattern({6 / 1.5, 5 / 1.5});
        dash.setMiterLimit(10);
        g.setPen(dash);
        g.setBrush(Qt::NoBrush);
        const QSizeF frame(0.8 * W, 0.72 * H);
        g.drawRoundedRect(
            QRectF(QPointF(0.5 * W - frame.width() / 2, 0.42 * H - frame.height() / 2), frame), 14,
            14);

        if (std::optional<QRectF> face = view_.faceInArea()) {
            const std::optional<Face>& f = view_.feed_.face();
            QPen pen(f->hint() ? gWarn : gLive, 2.5);
            pen.setMiterLimit(10);
            g.setPen(pen);
            g.drawRoundedRect(*face, 10, 10);
        }

        const double bar = barHeight();
        const QRectF strip(0, H - bar, W, bar);
        g.fillRect(strip, QColor(0, 0, 0, 158));
        const bool warn = view_.warns();
        const QColor colour = warn ? gWarn : gLive;
        const HintLayout h = view_.hintLayout();
        const QString text = view_.hintText();
        // The text's row: the whole bar, or its top row when the meter sits below.
        const double rowTop = h.stacked ? strip.top() + kPadY : strip.top();
        const double rowHeight = h.stacked ? textHeight() : bar;
        g.save();
        g.translate(kPadX + iconSize() / 2, rowTop + rowHeight / 2);
        g.fillPath(Symbols::path(warn ? "exclamationmark.triangle.fill" : "checkmark.circle.fill",
                                 iconSize()),
                   colour);
        g.restore();
        g.setFont(h.font);
        g.setPen(colour);
        const QRectF textBox(kPadX + iconSize() + 5, rowTop, std::max(h.room, 0.0), rowHeight);
        g.drawText(textBox, Qt::AlignVCenter | Qt::AlignLeft,
                   QFontMetricsF(h.font).elidedText(text, Qt::ElideRight, textBox.width()));

        g.setClipping(false);
        g.setPen(QPen(gLine, 1));
        g.setBrush(Qt::NoBrush);
        g.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
    }

private:
    CameraFeedView& view_;
};

CameraFeedView::CameraFeedView(FeedModel& feed, bool compact, QWidget* parent)
    : QWidget(parent), feed_(feed), compact_(compact) {
    setFocusPolicy(Qt::NoFocus);
    preview_ = new PreviewView(feed_.frames, kRadius, this);
    guides_ = new Guides(*this);
    if (!compact_) {
        meter_ = new DistanceMeter(gLive, gWarn, guides_);
        meter_->resize(meter_->sizeHint());
    }
    connect(&feed_, &FeedModel::changed, this, [this] { sync(); });
    sync();
}

QRectF CameraFeedView::area() const {
    const double w = std::min(double(width()), height() * 4.0 / 3.0);
    const double h = w * 3.0 / 4.0;
    return {(width() - w) / 2, (height() - h) / 2, w, h};
}

QRectF CameraFeedView::faceRect(const Box& b, QSizeF area) {
    const double W = area.width();
    const double H = area.height();
    return {W * (1 - (b.x + b.width)), H * (1 - (b.y + b.height)), W * b.width, H * b.height};
}

std::optional<QRectF> CameraFeedView::faceInArea() const {
    if (!feed_.face() || !feed_.seen() || !feed_.cameraOn()) {
        return std::nullopt;
    }
    return faceRect(feed_.face()->box, area().size());
}

std::optional<QRectF> CameraFeedView::shownFace() const {
    std::optional<QRectF> r = faceInArea();
    if (r) {
        r->translate(area().topLeft());
    }
    return r;
}

QFont CameraFeedView::hintFont(double shrink) const {
    return Fonts::font((compact_ ? 12 : 13) * shrink, QFont::DemiBold, this);
}

CameraFeedView::HintLayout CameraFeedView::hintLayout() const {
    const QString text = hintText();
    // The largest size, down to 0.8 of the full one, at which the text fits the room.
    auto fitting = [&](double room) -> std::optional<QFont> {
        for (double k = 1.0; k > 0.8 - 1e-9; k -= 0.05) {
            if (QFontMetricsF(hintFont(k)).horizontalAdvance(text) <= room) {
                return hintFont(k);
            }
        }
        return std::nullopt;
    };
    const double full = area().width() - 2 * kPadX - (compact_ ? 12 : 13) - 5;
    const double beside = meter_ != nullptr ? full - kMinGap - meter_->size().width() : full;
    if (std::optional<QFont> f = fitting(beside)) {
        return {*f, beside, false};
    }
    if (meter_ == nullptr) {
        return {hintFont(0.8), beside, false};
    }
    return {fitting(full).value_or(hintFont(0.8)), full, true};
}

QString CameraFeedView::hintText() const {
    if (std::optional<std::string> h = feed_.hint()) {
        return QString::fromStdString(*h);
    }
    return compact_ ? QStringLiteral("Good spot")
                    : QStringLiteral("Good spot. Helmvantor sees you clearly.");
}

bool CameraFeedView::warns() const {
    return feed_.hint().has_value();
}

void CameraFeedView::sync() {
    const std::optional<std::string> h = feed_.hint();
    setAccessibleName(QStringLiteral("Camera view. ") +
                      (h ? QString::fromStdString(*h)
                         : QStringLiteral("Good spot, Helmvantor sees you clearly.")));
    preview_->setVisible(feed_.session != nullptr && feed_.cameraOn());
    if (meter_ != nullptr) {
        std::optional<double> w;
        if (feed_.seen() && feed_.face()) {
            w = feed_.face()->box.width;
        }
        meter_->setWidth(w);
    }
    place(); // another hint may want its own row
    guides_->update();
    update();
}

void CameraFeedView::place() {
    const QRect a = area().toAlignedRect();
    preview_->setGeometry(a);
    guides_->setGeometry(a);
    if (meter_ != nullptr) {
        const double top = a.height() - guides_->barHeight() + guides_->meterRowTop();
        meter_->move(int(a.width() - kPadX - meter_->size().width()),
                     int(top + (guides_->meterRowHeight() - meter_->height()) / 2));
    }
}

void CameraFeedView::resizeEvent(QResizeEvent*) {
    place();
}

void CameraFeedView::paintEvent(QPaintEvent*) {
    if (preview_->isVisible() || preview_->isVisibleTo(this)) {
        return;
    }
    // No picture: a dark panel with a crossed-out camera.
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    const QRectF a = area();
    QPainterPath clip;
    clip.addRoundedRect(a, kRadius, kRadius);
    g.fillPath(clip, gPanel);
    g.translate(a.center());
    g.fillPath(Symbols::path("video.slash", 30), gMuted);
}

} // namespace helm
