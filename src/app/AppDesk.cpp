#include "app/App.h"

#include "ui/DarkPalette.h"
#include "windows/DeskView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyleFactory>

namespace helm {

DeskModel& App::desk() {
    if (!desk_) {
        desk_ = std::make_unique<DeskModel>(layout_);
        // Made with the model, so an edit is never lost, whenever the first view appears.
        desk_->onChange = [this](const Layout& layout) {
            // The edit moves no one's gaze: the picker keeps the screen it had.
            const std::optional<std::string> current = picker.current;
            setLayout(layout);
            picker = GazePicker(current);
        };
        // A drag's many edits are stored a few times a second, and once more when it ends.
        desk_->onDragging = [this](bool on) { d.setLive(on); };
    }
    return *desk_;
}

void App::wireDesk() {
    DeskModel& model = desk();
    model.onIdentify = [this] { identify(); };
    model.agents.assign(connected.begin(), connected.end());
    model.changed();
}

void App::openDesk() {
    if (!deskWindow_) {
        // The program's windows are dark Fusion whatever the desktop's theme.
        if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
            QApplication::setStyle(fusion);
        }
        deskWindow_ = std::make_unique<QWidget>(
            nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
        QWidget& w = *deskWindow_;
        w.setWindowTitle(QStringLiteral("Helmvantor: screens"));
        w.setPalette(darkPalette());
        w.setAutoFillBackground(true);
        w.setFixedSize(920, 600);
        // Closing only hides it; the next open shows the same window.
        w.setAttribute(Qt::WA_DeleteOnClose, false);
        auto* view = new DeskView(desk(), d, true, &w);
        view->setGeometry(w.rect());
        if (QScreen* primary = QGuiApplication::primaryScreen()) {
            QRect area = primary->availableGeometry();
            w.move(area.center() - w.rect().center());
        }
    }
    deskWindow_->show();
    deskWindow_->raise();
    deskWindow_->activateWindow();
}

} // namespace helm
