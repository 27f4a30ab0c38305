#include "windows/CameraPage.h"

#include "gaze/feed/CameraFeedView.h"
#include "input/Hotkeys.h"
#include "ui/Fonts.h"
#include "ui/Palette.h"
#include "windows/SettingsKit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>

namespace helm {

namespace {

// "Head 12° left, 4° up": whole degrees; 0 reads as right and up.
std::string headLine(const std::optional<Angle>& a) {
    if (!a) {
        return "No face seen";
    }
    char text[96];
    std::snprintf(text, sizeof text, "Head %.0f° %s, %.0f° %s", std::fabs(a->yaw),
                  a->yaw < 0 ? "left" : "right", std::fabs(a->pitch), a->pitch < 0 ? "down" : "up");
    return text;
}

} // namespace

CameraPage::CameraPage(SettingsModel& m, QWidget* parent) : SettingsPage(m, parent) {
    auto* camera = new CameraFeedView(*model.feed(), false);
    camera->setFixedSize(330, 248);
    auto* top = new QHBoxLayout();
    top->setSpacing(22);
    top->addWidget(camera, 0, Qt::AlignTop);
    auto* side = new QVBoxLayout();
    side->setSpacing(10);
    auto* healthLine = new QHBoxLayout();
    healthLine->setSpacing(6);
    auto* icon = new SymbolIcon("checkmark.circle.fill", 14, gLive, 18);
    healthLine->addWidget(icon, 0, Qt::AlignTop);
    QLabel* health = SettingsKit::text("", 14, gLive, QFont::DemiBold, true);
    healthLine->addWidget(health, 1);
    side->addLayout(healthLine);
    QLabel* head = SettingsKit::text("", 13, gMuted);
    side->addWidget(head);
    side->addWidget(SettingsKit::text("The picture is only shown here, live. Helmvantor keeps one "
                                      "thing: which way your head points. No picture is saved or "
                                      "sent.",
                                      13, gMuted, QFont::Normal, true));
    side->addStretch(1);
    top->addLayout(side, 1);
    stack->addLayout(top);
    onSync([this, icon, health, head] {
        bool ok = model.healthOK();
        icon->set(ok ? "checkmark.circle.fill" : "exclamationmark.triangle.fill",
                  ok ? gLive : gWarn);
        QPalette p = health->palette();
        p.setColor(QPalette::WindowText, ok ? gLive : gWarn);
        health->setPalette(p);
        health->setText(QString::fromStdString(model.health()));
        head->setText(QString::fromStdString(headLine(model.angle())));
    });

    addButtonRow(
        "Record a test session",
        "About 2 minutes: Helmvantor tells you where to look, lean and when to step "
        "away. The clip stays on this computer and is only used to tune Helmvantor for your "
        "desk.",
        "Record", [this] { model.onRecord(); });
    addMessage([this]() -> const std::optional<std::string>& { return model.recordMessage(); });
    addRow("Camera turns off when you leave",
           "After 10 seconds without a face. It comes back at your next key or mouse move.",
           SettingsKit::text("Always", 13, gMuted));
    QLabel* keys = SettingsKit::text(Hotkeys::camera(), 13, gInk);
    keys->setFont(Fonts::mono(13, QFont::Normal));
    addRow("Pause the camera", "The camera light goes out.", keys);
    sync();
}

} // namespace helm
