#include "guide/DonePage.h"

#include "guide/GuideBlocks.h"
#include "guide/OnboardingModel.h"
#include "input/Hotkeys.h"
#include "windows/SettingsKit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace helm {

namespace {

QWidget* column(QVBoxLayout*& v) {
    auto* w = new QWidget();
    v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(18);
    return w;
}

} // namespace

DonePage::DonePage(OnboardingModel& model, QWidget* parent) : GuidePage(model, parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(44, 44, 44, 44);
    row->setSpacing(48);

    auto* left = new QWidget();
    left->setFixedWidth(430);
    auto* lv = new QVBoxLayout(left);
    lv->setContentsMargins(0, 0, 0, 0);
    QVBoxLayout* sv = nullptr;
    switched_ = column(sv);
    auto* tick = new SymbolIcon("checkmark.circle.fill", 44, gLive, 48);
    tick->setFixedHeight(48);
    sv->addWidget(tick);
    typedOn_ = GuideBlocks::text("", 34, gInk, QFont::DemiBold, true);
    sv->addWidget(typedOn_);
    sv->addWidget(GuideBlocks::text("That's Helmvantor.", 16, gMuted, QFont::Normal, true));
    QVBoxLayout* wv = nullptr;
    waiting_ = column(wv);
    wv->addWidget(GuideBlocks::text("Try it: look at your PC and start typing.", 34, gInk,
                                    QFont::DemiBold, true));
    auto* wait = new QHBoxLayout();
    wait->setSpacing(6);
    auto* eye = new SymbolIcon("eye", 15, gWarn, 18);
    eye->setFixedHeight(18);
    wait->addWidget(eye);
    wait->addWidget(GuideBlocks::text("Waiting for your first switch…", 15, gWarn));
    wait->addStretch(1);
    wv->addLayout(wait);
    wv->addWidget(
        GuideBlocks::text("No PC yet? Helmvantor already switches between this computer's "
                          "monitors; connect a PC any time from Settings › Computers.",
                          13, gMuted, QFont::Normal, true));
    lv->addWidget(switched_);
    lv->addWidget(waiting_);
    lv->addStretch(1);
    row->addWidget(left, 0, Qt::AlignTop);

    QVBoxLayout* rv = nullptr;
    QWidget* right = column(rv);
    rv->addWidget(GuideBlocks::line(
        "doc.on.clipboard", "Copy here, paste there",
        "Text, pictures and files up to 100 MB. Files paste in your file manager or File "
        "Explorer."));
    rv->addWidget(
        GuideBlocks::line("keyboard", "Any keyboard, any screen",
                          "Type on this computer or on a PC's own keyboard: it goes to the "
                          "screen you're looking at."));
    rv->addWidget(GuideBlocks::line("cursorarrow.rays", "The mouse lands where you look",
                                    "On the monitor you look at, back where you left it."));
    rv->addWidget(GuideBlocks::line("keyboard", "When you want control",
                                    Hotkeys::lock() + " lock to this screen · " + Hotkeys::jumps() +
                                        " jump to a screen · " + Hotkeys::camera() +
                                        " camera on/off. Or push the mouse past a screen's edge."));
    rv->addStretch(1);
    row->addWidget(right, 1, Qt::AlignTop);
    sync();
}

void DonePage::sync() {
    const auto& name = model.firstSwitch();
    switched_->setVisible(name.has_value());
    waiting_->setVisible(!name.has_value());
    GuideBlocks::setText(typedOn_, name ? "You just typed on " + *name + "." : "");
}

} // namespace helm
