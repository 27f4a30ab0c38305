#include "guide/OnboardingView.h"

#include "guide/CameraAccessPage.h"
#include "guide/ConnectPage.h"
#include "guide/DonePage.h"
#include "guide/FineTunePage.h"
#include "guide/GuideFooter.h"
#include "guide/GuideHeader.h"
#include "guide/KeyboardPage.h"
#include "guide/LookPage.h"
#include "guide/OnboardingModel.h"
#include "guide/WelcomePage.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace helm {

namespace {

QWidget* divider() {
    auto* line = new QWidget();
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, gLine);
    line->setPalette(p);
    return line;
}

} // namespace

OnboardingView::OnboardingView(OnboardingModel& model, DeskModel& desk, Defaults& defaults,
                               QWidget* parent)
    : QWidget(parent), model_(model), desk_(desk), defaults_(defaults) {
    setFixedSize(960, 720);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, gGround);
    p.setColor(QPalette::WindowText, gInk);
    p.setColor(QPalette::Text, gInk);
    p.setColor(QPalette::ToolTipBase, gPanel);
    p.setColor(QPalette::ToolTipText, gInk);
    setPalette(p);
    setFont(Fonts::font(13, QFont::Normal));
    setFocusPolicy(Qt::StrongFocus);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    header_ = new GuideHeader();
    v->addWidget(header_);
    v->addWidget(divider());
    area_ = new QWidget();
    auto* a = new QVBoxLayout(area_);
    a->setContentsMargins(0, 0, 0, 0);
    v->addWidget(area_, 1);
    v->addWidget(divider());
    footer_ = new GuideFooter(model_);
    v->addWidget(footer_);

    connect(&model_, &OnboardingModel::changed, this, [this] { schedule(); });
    pageStep_ = model_.step();
    page_ = makePage(pageStep_);
    area_->layout()->addWidget(page_);
    sync();
}

void OnboardingView::schedule() {
    if (pending_) {
        return;
    }
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (pending_) {
            sync();
        }
    });
}

GuidePage* OnboardingView::makePage(int step) {
    ++built_;
    GuidePage* page = nullptr;
    switch (step) {
    case 0:
        page = new WelcomePage(model_);
        break;
    case 1:
        page = new CameraAccessPage(model_);
        break;
    case 2:
        page = new KeyboardPage(model_);
        break;
    case 3:
        page = new ConnectPage(model_);
        break;
    case 4:
        page = new LookPage(model_, desk_, defaults_);
        break;
    case 5:
        page = new FineTunePage(model_, desk_, defaults_);
        break;
    default:
        page = new DonePage(model_);
        break;
    }
    // The window takes the keys: no button may keep Return or Space for itself.
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractButton*>(w) != nullptr) {
            w->setFocusPolicy(Qt::NoFocus);
        }
    }
    return page;
}

void OnboardingView::sync() {
    pending_ = false;
    const int step = model_.step();
    if (step != pageStep_) {
        pageStep_ = step;
        GuidePage* next = makePage(step);
        delete area_->layout()->replaceWidget(page_, next); // the old page's item is ours
        page_->deleteLater();
        page_->hide();
        page_ = next;
        if (hasFocus() || isActiveWindow()) {
            setFocus();
        }
    } else {
        page_->sync();
    }
    header_->setStep(step);
    footer_->sync();
}

void OnboardingView::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & ~(Qt::KeypadModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (pending_) {
        sync();
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!page_->enter()) {
            footer_->activate();
        }
        return;
    case Qt::Key_Space:
        if (!page_->space()) {
            QWidget::keyPressEvent(event);
        }
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace helm
