#include "guide/WelcomePage.h"

#include "guide/GuideBlocks.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace helm {

WelcomePage::WelcomePage(OnboardingModel& model, QWidget* parent) : GuidePage(model, parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(44, 44, 44, 44);
    row->setSpacing(48);

    auto* left = new QVBoxLayout();
    left->setSpacing(26);
    auto* leftBox = new QWidget();
    leftBox->setFixedWidth(470);
    leftBox->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(GuideBlocks::text("Your keyboard and mouse go where you look.", 38, gInk,
                                      QFont::DemiBold, true));
    left->addWidget(
        GuideBlocks::text("Look at your PC and type: it types on the PC. Look back at "
                          "this computer and you're back. Copy on one, look at the other, "
                          "paste.",
                          16, gMuted, QFont::Normal, true));
    auto* steps = new QVBoxLayout();
    steps->setSpacing(16);
    steps->addWidget(GuideBlocks::numbered(1, "Allow the camera and the keyboard"));
    steps->addWidget(GuideBlocks::numbered(2, "Connect your PC with a 6-digit code"));
    steps->addWidget(GuideBlocks::numbered(3, "Look where Helmvantor tells you, about 20 seconds"));
    left->addLayout(steps);
    left->addStretch(1);
    row->addWidget(leftBox, 0, Qt::AlignTop);

    auto* right = new QVBoxLayout();
    right->setSpacing(22);
    right->setContentsMargins(0, 8, 0, 0);
    right->addWidget(GuideBlocks::line(
        "wifi", "Both computers on the same network",
        "Wi-Fi or cable, at home or the office. Tailscale works too, but you don't need it."));
    right->addWidget(
        GuideBlocks::line("arrow.down.circle", "Helmvantor for Windows on the PC",
                          "Each PC needs the free Helmvantor for Windows helper. Get it from "
                          "helmvantor.app/windows on the PC (download coming soon)."));
    right->addWidget(GuideBlocks::line(
        "lock.shield", "Private by design",
        "The camera only works out which way your head points. No picture is saved or sent, "
        "and everything between your computers is encrypted."));
    right->addStretch(1);
    row->addLayout(right, 1);
}

} // namespace helm
