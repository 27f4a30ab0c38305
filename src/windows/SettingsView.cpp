#include "windows/SettingsView.h"

#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "windows/CameraPage.h"
#include "windows/ClipboardPage.h"
#include "windows/ComputersPage.h"
#include "windows/GeneralPage.h"
#include "windows/JumpPage.h"
#include "windows/SetupsPage.h"
#include "windows/ShortcutsPage.h"
#include "windows/SidebarRow.h"
#include "windows/SwitchingPage.h"
#include "windows/TrackingPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace helm {

const std::array<SettingsView::Tab, 9> SettingsView::tabs{{
    {"general", "General", "gearshape"},
    {"switching", "Switching", "arrow.left.arrow.right"},
    {"tracking", "Head and eyes", "eye.circle"},
    {"jump", "Mouse jump", "cursorarrow.motionlines"},
    {"camera", "Camera & privacy", "eye"},
    {"clipboard", "Clipboard", "doc.on.clipboard"},
    {"shortcuts", "Shortcuts", "keyboard"},
    {"computers", "Computers", "desktopcomputer"},
    {"setups", "Setups", "square.stack.3d.up"},
}};

namespace {

QWidget* filled(QWidget* w, const QColor& c) {
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, c);
    w->setPalette(p);
    return w;
}

SettingsPage* makePage(const std::string& id, SettingsModel& m) {
    if (id == "general")
        return new GeneralPage(m);
    if (id == "switching")
        return new SwitchingPage(m);
    if (id == "tracking")
        return new TrackingPage(m);
    if (id == "jump")
        return new JumpPage(m);
    if (id == "camera")
        return new CameraPage(m);
    if (id == "clipboard")
        return new ClipboardPage(m);
    if (id == "shortcuts")
        return new ShortcutsPage(m);
    if (id == "computers")
        return new ComputersPage(m);
    if (id == "setups")
        return new SetupsPage(m);
    return nullptr;
}

} // namespace

SettingsView::SettingsView(SettingsModel& model, Prefs& prefs, QWidget* parent)
    : QWidget(parent), model_(model), prefs_(prefs) {
    filled(this, gGround);
    QPalette ink = palette();
    ink.setColor(QPalette::WindowText, gInk);
    setPalette(ink);
    setFont(Fonts::font(13, QFont::Normal));

    auto* frame = new QHBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);

    auto* side = filled(new QWidget(), QColor::fromRgbF(0.04f, 0.05f, 0.065f));
    side->setFixedWidth(210);
    auto* sideStack = new QVBoxLayout(side);
    sideStack->setContentsMargins(12, 12, 12, 12);
    sideStack->setSpacing(2);
    for (const Tab& t : tabs) {
        auto* row = new SidebarRow(t.id, QString::fromUtf8(t.title), t.symbol);
        // Every click writes the tab, the one already open too.
        QObject::connect(row, &QAbstractButton::clicked, row,
                         [this, id = std::string(t.id)] { model_.setTab(id); });
        sideStack->addWidget(row);
        sidebar_.push_back(row);
    }
    sideStack->addStretch(1);
    frame->addWidget(side);
    frame->addWidget(filled(new QWidget(), gLine));
    frame->itemAt(1)->widget()->setFixedWidth(1);

    scroll_ = new QScrollArea();
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* content = filled(new QWidget(), gGround);
    pageStack_ = new QVBoxLayout(content);
    pageStack_->setContentsMargins(28, 28, 28, 28);
    pageStack_->setSpacing(18);
    heading_ = new QLabel();
    heading_->setFont(Fonts::font(22, QFont::DemiBold));
    pageStack_->addWidget(heading_);
    pageStack_->addStretch(1);
    scroll_->setWidget(content);
    frame->addWidget(scroll_, 1);

    QObject::connect(&model_, &SettingsModel::changed, this, [this] { sync(); });
    prefsToken_ = prefs_.observers.add([this] { sync(); });
    sync();
}

SettingsView::~SettingsView() {
    prefs_.observers.remove(prefsToken_);
}

QString SettingsView::heading() const {
    return heading_->text();
}

void SettingsView::sync() {
    const std::string& tab = model_.tab();
    for (SidebarRow* row : sidebar_) {
        row->setSelected(row->id() == tab);
    }
    if (tab != shownTab_) {
        shownTab_ = tab;
        QString title;
        for (const Tab& t : tabs) {
            if (tab == t.id) {
                title = QString::fromUtf8(t.title);
                break;
            }
        }
        heading_->setText(title);
        delete page_;
        page_ = makePage(tab, model_);
        if (page_ != nullptr) {
            pageStack_->insertWidget(1, page_);
        }
        scroll_->verticalScrollBar()->setValue(0);
        return; // a new page has just read everything
    }
    if (page_ != nullptr) {
        page_->sync();
    }
}

} // namespace helm
