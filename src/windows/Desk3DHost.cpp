#include "windows/Desk3DHost.h"

#include "ui/Palette.h"

namespace helm {

QWidget* makeDesk3DView(DeskModel& /*model*/, const std::optional<std::string>& /*target*/,
                        QWidget* parent) {
    auto* panel = new QWidget(parent);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, gGround);
    panel->setPalette(p);
    panel->setAutoFillBackground(true);
    panel->setAccessibleName(
        QStringLiteral("3D view of your desk: monitors, keyboard and your head"));
    return panel;
}

} // namespace helm
