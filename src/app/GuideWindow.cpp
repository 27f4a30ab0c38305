#include "app/GuideWindow.h"

#include "ui/DarkPalette.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace helm {

GuideWindow::GuideWindow(std::unique_ptr<QWidget> view)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("Set up Helmvantor"));
    setFixedSize(960, 720);
    // The standard fields and buttons of its pages take the dark scheme of the other windows.
    setPalette(darkPalette());
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (view) {
        layout->addWidget(view.release());
    }
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void GuideWindow::activate() {
    show();
    raise();
    activateWindow();
}

void GuideWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    onHidden();
}

} // namespace helm
