#include "guide/CameraAccessPage.h"

#include "gaze/feed/CameraFeedView.h"
#include "guide/GuideBlocks.h"
#include "guide/PrimaryButton.h"
#include "guide/QuietButton.h"
#include "input/Hotkeys.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace helm {

CameraAccessPage::CameraAccessPage(OnboardingModel& model, std::function<void()> openSettings,
                                   QWidget* parent)
    : GuidePage(model, parent), openSettings_(std::move(openSettings)) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(40, 40, 40, 40);
    v->setSpacing(28);
    v->addWidget(new TitleBlock("Let Helmvantor use the camera",
                                "It checks which way your head faces, 15 times a second. "
                                "Pictures stay in memory for a split second and are never "
                                "saved."));
    auto* row = new QHBoxLayout();
    row->setSpacing(28);
    card_ = new Card();
    card_->setFixedWidth(380);
    row->addWidget(card_, 0, Qt::AlignTop);
    preview_ = new CameraFeedView(*model.feed, false);
    preview_->setFixedSize(440, 330);
    row->addWidget(preview_, 0, Qt::AlignTop);
    row->addStretch(1);
    v->addLayout(row);
    v->addStretch(1);
    sync();
}

void CameraAccessPage::sync() {
    const OnboardingModel::Camera camera = model.camera();
    preview_->setVisible(camera == OnboardingModel::Camera::allowed);
    if (shown_ != camera) {
        shown_ = camera;
        fill(camera);
    }
}

// The card's content changes only with the camera's state.
void CameraAccessPage::fill(OnboardingModel::Camera camera) {
    QVBoxLayout* c = card_->content();
    while (QLayoutItem* item = c->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    auto explain = [](const std::string& s) {
        return GuideBlocks::text(s, 14, gMuted, QFont::Normal, true);
    };
    using Camera = OnboardingModel::Camera;
    switch (camera) {
    case Camera::unknown: {
        c->addWidget(explain("Nothing to ask on this desktop: the camera starts when you choose "
                             "Allow camera."));
        auto* allow = new PrimaryButton("Allow camera");
        connect(allow, &QAbstractButton::clicked, this, [this] { model.onAllowCamera(); });
        c->addWidget(allow);
        break;
    }
    case Camera::allowed:
        c->addWidget(new CheckLine(true, "Camera allowed", ""));
        c->addWidget(explain("Sit where you normally work. Keep your face inside the dashed "
                             "frame; the bar shows if you're too near or too far."));
        break;
    case Camera::blocked: {
        c->addWidget(new CheckLine(false, "", "The camera is blocked for Helmvantor"));
        c->addWidget(explain("Add your account to the “video” group (sudo adduser $USER video), "
                             "then log out and in again."));
        auto* open = new QuietButton("Open Camera settings");
        connect(open, &QAbstractButton::clicked, this, [this] {
            if (openSettings_) {
                openSettings_();
            }
        });
        c->addWidget(open);
        break;
    }
    case Camera::missing:
        c->addWidget(new CheckLine(false, "", "No camera found"));
        c->addWidget(explain("Plug in a camera, or use a phone as a webcam. Without one, " +
                             Hotkeys::jumps() + " and mouse-to-edge still switch computers."));
        break;
    }
}

} // namespace helm
