#include "guide/GuideFooter.h"

#include "guide/OnboardingModel.h"
#include "guide/PrimaryButton.h"
#include "guide/QuietButton.h"

#include <QHBoxLayout>

namespace helm {

GuideFooter::GuideFooter(OnboardingModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setFixedHeight(72);
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(28, 0, 28, 0);
    back_ = new QuietButton("Back");
    skip_ = new QuietButton("Skip for now");
    main_ = new PrimaryButton("Continue");
    h->addWidget(back_);
    h->addWidget(skip_);
    h->addStretch(1);
    h->addWidget(main_);
    connect(back_, &QAbstractButton::clicked, this, [this] { model_.setStep(model_.step() - 1); });
    connect(skip_, &QAbstractButton::clicked, this, [this] { model_.setStep(model_.step() + 1); });
    connect(main_, &QAbstractButton::clicked, this, [this] { activate(); });
    sync();
}

void GuideFooter::sync() {
    const int step = model_.step();
    const bool done = model_.stepDone();
    back_->setVisible(step >= 1 && step <= 5);
    skip_->setVisible((step == 1 || step == 3 || step == 4) && !done && !model_.calibrating());
    skip_->setLabel(step == 3 ? "Set up the PC later" : "Skip for now");
    const bool last = step == 6;
    const QString title = last ? "Start using Helmvantor" : step == 0 ? "Get started" : "Continue";
    if (main_->text() != title) {
        main_->setText(title);
        main_->setAccessibleName(title);
        main_->updateGeometry();
    }
    main_->setLooksEnabled(last || done);
    main_->setEnabled(last || done);
}

void GuideFooter::activate() {
    if (model_.step() == 6) {
        model_.onFinish();
    } else if (model_.stepDone()) {
        model_.setStep(model_.step() + 1);
    }
}

} // namespace helm
