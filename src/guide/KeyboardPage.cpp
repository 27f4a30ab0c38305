#include "guide/KeyboardPage.h"

#include "guide/GuideBlocks.h"
#include "guide/OnboardingModel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace helm {

namespace {

const std::string allowed = "Keyboard and mouse allowed";
const std::string refused = "Keyboard and mouse can't be passed on";

} // namespace

KeyboardPage::KeyboardPage(OnboardingModel& model, QWidget* parent) : GuidePage(model, parent) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(40, 40, 40, 40);
    v->setSpacing(28);
    v->addWidget(new TitleBlock("Let Helmvantor pass on your keyboard and mouse",
                                "The X server allows it through its XInput and XTest "
                                "extensions. Helmvantor only forwards keys and mouse while you "
                                "look at another computer, and never records them."));
    auto* card = new Card();
    card->setMaximumWidth(560);
    check_ = new CheckLine(false, allowed, refused);
    card->content()->addWidget(check_);
    // X11 grants input to every program: there is no permission to ask for and no settings
    // page to open, only a server that lacks what watching and passing on input takes. Nothing
    // here can change that, so the guide goes on without it.
    howTo_ = GuideBlocks::text("This display server lacks the XInput 2.2 or XTEST extension "
                               "that Helmvantor needs to watch and pass on keys and mouse, so "
                               "your keyboard and mouse won't follow your look to your PCs. "
                               "Everything else works: continue to set up the rest. To pass "
                               "them on, log in to an X11 (Xorg) session that has them.",
                               14, gMuted, QFont::Normal, true);
    card->content()->addWidget(howTo_);
    v->addWidget(card);
    v->addStretch(1);
    sync();
}

void KeyboardPage::sync() {
    const bool ok = model.accessOK();
    check_->set(ok, allowed, refused);
    howTo_->setVisible(!ok);
}

} // namespace helm
