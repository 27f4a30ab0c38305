#include "guide/KeyboardPage.h"

#include "guide/GuideBlocks.h"
#include "guide/OnboardingModel.h"
#include "guide/PrimaryButton.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace helm {

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
    check_ = new CheckLine(false, "Keyboard and mouse allowed", "Waiting for permission");
    card->content()->addWidget(check_);
    howTo_ = new QWidget();
    auto* steps = new QVBoxLayout(howTo_);
    steps->setContentsMargins(0, 0, 0, 0);
    steps->setSpacing(12);
    steps->addWidget(
        GuideBlocks::numbered(1, "Log out and choose an X11 (Xorg) session at the login screen."));
    steps->addWidget(GuideBlocks::numbered(
        2, "On a remote or nested display, use an X server with XInput 2.2 and XTest."));
    steps->addWidget(
        GuideBlocks::numbered(3, "Open Helmvantor there: this page then shows a tick."));
    auto* open = new PrimaryButton("Open Accessibility settings");
    connect(open, &QAbstractButton::clicked, this, [this] { this->model.onOpenAccess(); });
    steps->addWidget(open, 0, Qt::AlignLeft);
    card->content()->addWidget(howTo_);
    v->addWidget(card);
    v->addStretch(1);
    sync();
}

void KeyboardPage::sync() {
    const bool ok = model.accessOK();
    check_->set(ok, "Keyboard and mouse allowed", "Waiting for permission");
    howTo_->setVisible(!ok);
}

} // namespace helm
