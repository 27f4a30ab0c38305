#include "windows/JumpGallery.h"

#include "overlays/draw/JumpPreview.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"

#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>

#include <algorithm>
#include <cstdio>

namespace helm {

namespace {
constexpr int pad = 8;
constexpr int gap = 12;
constexpr int captionH = 6 + 16;
} // namespace

JumpTile::JumpTile(const JumpRecipe& recipe, int number, const std::string& color,
                   std::function<bool()> reduceMotion, QWidget* parent,
                   std::function<double()> clock)
    : QAbstractButton(parent),
      preview_(new JumpPreview(recipe, color, std::move(reduceMotion), this, std::move(clock))) {
    char n[16];
    std::snprintf(n, sizeof n, "%02d", number);
    setText(QString::fromLatin1(n) + "\t" + QString::fromStdString(recipe.name));
    setAccessibleName(QString::number(number) + ", " + QString::fromStdString(recipe.name));
    preview_->setAttribute(Qt::WA_TransparentForMouseEvents);
    preview_->setGround(gPanel); // the tile's own fill, all round the preview
    setCursor(Qt::PointingHandCursor);
}

void JumpTile::setChosen(bool chosen) {
    if (chosen == chosen_) {
        return;
    }
    chosen_ = chosen;
    QString name = accessibleName();
    name.remove(", chosen");
    setAccessibleName(chosen ? name + ", chosen" : name);
    update();
}

int JumpTile::heightFor(int w) const {
    return pad + (w - 2 * pad) * 9 / 16 + captionH + pad;
}

void JumpTile::place(int x, int y, int w) {
    setGeometry(x, y, w, heightFor(w));
    int inner = w - 2 * pad;
    preview_->setGeometry(pad, pad, inner, inner * 9 / 16);
}

void JumpTile::paintEvent(QPaintEvent*) {
    QPainter g(this);
    g.setRenderHint(QPainter::Antialiasing);
    QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    QPainterPath shape;
    shape.addRoundedRect(box, 10, 10);
    g.fillPath(shape, gPanel);
    g.strokePath(shape, QPen(chosen_ ? gLive : gLine, chosen_ ? 2 : 1));
    QStringList parts = text().split('\t');
    int y = preview_->geometry().bottom() + 6;
    QFont number = Fonts::font(11, QFont::Medium, this);
    g.setFont(number);
    g.setPen(gLive);
    QRect numberBox(pad, y, 22, 16);
    g.drawText(numberBox, Qt::AlignLeft | Qt::AlignVCenter, parts.value(0));
    g.setFont(Fonts::font(12, QFont::DemiBold, this));
    g.setPen(gInk);
    QRect nameBox(pad + 24, y, width() - 2 * pad - 24, 16);
    g.drawText(nameBox, Qt::AlignLeft | Qt::AlignVCenter,
               g.fontMetrics().elidedText(parts.value(1), Qt::ElideRight, nameBox.width()));
}

JumpGallery::JumpGallery(std::function<bool()> reduceMotion, QWidget* parent,
                         std::function<double()> clock)
    : QWidget(parent), reduceMotion_(std::move(reduceMotion)), clock_(std::move(clock)) {
    QSizePolicy sp(QSizePolicy::Expanding, QSizePolicy::Preferred);
    sp.setHeightForWidth(true);
    setSizePolicy(sp);
}

int JumpGallery::columns(int width) {
    return std::max(1, (width + gap) / (150 + gap));
}

void JumpGallery::show(const std::vector<JumpRecipe>& recipes, const std::string& color,
                       const std::string& chosen, std::function<void(const std::string&)> pick) {
    std::vector<std::string> ids;
    for (const JumpRecipe& r : recipes) {
        ids.push_back(r.id);
    }
    if (ids != ids_ || color != color_) {
        for (JumpTile* t : tiles_) {
            delete t;
        }
        tiles_.clear();
        ids_ = ids;
        color_ = color;
        for (std::size_t i = 0; i < recipes.size(); ++i) {
            auto* t = new JumpTile(recipes[i], static_cast<int>(i) + 1, color, reduceMotion_, this,
                                   clock_);
            QObject::connect(t, &QAbstractButton::clicked, t,
                             [pick, id = recipes[i].id] { pick(id); });
            t->setVisible(true);
            tiles_.push_back(t);
        }
        layTiles();
        updateGeometry();
    }
    for (std::size_t i = 0; i < tiles_.size(); ++i) {
        tiles_[i]->setChosen(ids_[i] == chosen);
    }
}

int JumpGallery::heightForWidth(int w) const {
    if (tiles_.empty()) {
        return 0;
    }
    int cols = columns(w);
    int tileW = (w - (cols - 1) * gap) / cols;
    int rows = (static_cast<int>(tiles_.size()) + cols - 1) / cols;
    return rows * tiles_.front()->heightFor(tileW) + (rows - 1) * gap;
}

QSize JumpGallery::sizeHint() const {
    return {500, heightForWidth(500)};
}

void JumpGallery::resizeEvent(QResizeEvent*) {
    layTiles();
}

void JumpGallery::layTiles() {
    int w = width();
    int cols = columns(w);
    int tileW = (w - (cols - 1) * gap) / cols;
    for (std::size_t i = 0; i < tiles_.size(); ++i) {
        int c = static_cast<int>(i) % cols;
        int r = static_cast<int>(i) / cols;
        tiles_[i]->place(c * (tileW + gap), r * (tiles_[i]->heightFor(tileW) + gap), tileW);
    }
}

} // namespace helm
