#include "windows/JumpPage.h"

#include "overlays/Jumps.h"
#include "overlays/draw/JumpDrawer.h"
#include "ui/Palette.h"
#include "windows/JumpGallery.h"
#include "windows/SettingsKit.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace helm {

namespace {

// A colour choice: a 22 px disc with a 2 px ring 3 px outside it while chosen.
class Swatch : public QAbstractButton {
public:
    Swatch(const Jumps::Swatch& s, QWidget* parent = nullptr)
        : QAbstractButton(parent), hex(s.hex), name(s.name) {
        setFixedSize(30, 30);
        setToolTip(QString::fromUtf8(s.name));
        setCursor(Qt::PointingHandCursor);
    }
    void setChosen(bool c) {
        if (c != chosen) {
            chosen = c;
            setAccessibleName(QString::fromUtf8(name) + (c ? ", chosen" : ""));
            update();
        }
    }
    const char* hex;
    const char* name;
    bool chosen = true; // so the first setChosen sets the name

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter g(this);
        g.setRenderHint(QPainter::Antialiasing);
        QPointF c = QRectF(rect()).center();
        g.setPen(Qt::NoPen);
        g.setBrush(JumpDrawer::color(std::string(hex), "#30D158"));
        g.drawEllipse(c, 11, 11);
        if (chosen) {
            g.setBrush(Qt::NoBrush);
            g.setPen(QPen(gInk, 2));
            g.drawEllipse(c, 14, 14);
        }
    }
};

} // namespace

JumpPage::JumpPage(SettingsModel& m, QWidget* parent) : SettingsPage(m, parent) {
    addText(
        "What you see when the mouse jumps to the screen you look at. The same on this computer "
        "and your PCs.",
        13, gMuted);
    auto* line = new QHBoxLayout();
    line->setSpacing(10);
    line->addWidget(SettingsKit::text("Colour", 13, gMuted));
    std::vector<Swatch*> swatches;
    for (const Jumps::Swatch& s : Jumps::colors) {
        auto* w = new Swatch(s);
        QObject::connect(w, &QAbstractButton::clicked, w,
                         [this, hex = s.hex] { prefs.setJumpColor(hex); });
        line->addWidget(w);
        swatches.push_back(w);
    }
    QPushButton* off = SettingsKit::button("Off", [this] { prefs.setJumpId("off"); });
    line->addWidget(off);
    QPushButton* tryIt = SettingsKit::button("Try it", [this] {
        for (const JumpRecipe& r : model.jumps) {
            if (r.id == prefs.jumpId()) {
                model.onTryJump(r);
                return;
            }
        }
    });
    tryIt->setObjectName("tryIt");
    line->addWidget(tryIt);
    line->addStretch(1);
    stack->addLayout(line);

    gallery_ = new JumpGallery([this] { return model.reduceMotion(); }, nullptr,
                               [this] { return model.clock(); });
    stack->addWidget(gallery_);
    onSync([this, swatches, off, tryIt] {
        for (Swatch* s : swatches) {
            s->setChosen(prefs.jumpColor() == s->hex);
        }
        off->setEnabled(prefs.jumpId() != "off");
        bool known = false;
        for (const JumpRecipe& r : model.jumps) {
            known = known || r.id == prefs.jumpId();
        }
        tryIt->setVisible(known);
        gallery_->show(model.jumps, prefs.jumpColor(), prefs.jumpId(),
                       [this](const std::string& id) { prefs.setJumpId(id); });
    });
    sync();
}

} // namespace helm
