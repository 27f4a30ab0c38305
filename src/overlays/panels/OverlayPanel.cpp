#include "overlays/panels/OverlayPanel.h"

#include <QGuiApplication>

namespace helm {

OverlayPanel::OverlayPanel(Level level, bool takesClicks) {
    Qt::WindowFlags flags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                            Qt::WindowDoesNotAcceptFocus;
    if (!takesClicks) {
        flags |= Qt::WindowTransparentForInput;
    }
    if (level == Level::overAll) {
        flags |= Qt::X11BypassWindowManagerHint;
    }
    setWindowFlags(flags);
    // The ARGB visual is chosen when the native window is made: these come first.
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents, !takesClicks);
    setFocusPolicy(Qt::NoFocus);
}

void OverlayPanel::setContent(QWidget* content) {
    delete content_;
    content_ = content;
    if (content_ != nullptr) {
        content_->setParent(this);
        content_->setGeometry(rect());
        content_->show();
    }
}

void OverlayPanel::front() {
    show();
    // Never activateWindow: the user's focus stays where it is. The offscreen platform of
    // tests has no stacking to change.
    if (QGuiApplication::platformName() != "offscreen") {
        raise();
    }
}

void OverlayPanel::resizeEvent(QResizeEvent*) {
    if (content_ != nullptr) {
        content_->setGeometry(rect());
    }
}

} // namespace helm
