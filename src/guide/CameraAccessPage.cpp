#include "guide/CameraAccessPage.h"

#include "gaze/feed/CameraFeedView.h"
#include "guide/GuideBlocks.h"
#include "guide/PrimaryButton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace helm {

CameraAccessPage::CameraAccessPage(OnboardingModel& model, QWidget* parent)
    : GuidePage(model, parent) {
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
    if (!shown_ || shown_->first != camera || shown_->second != model.cameraNote()) {
        shown_ = std::make_pair(camera, model.cameraNote());
        fill(camera, model.cameraNote());
    }
}

// The card's content changes only with the camera's state and what the desktop says of it.
void CameraAccessPage::fill(OnboardingModel::Camera camera,
                            const std::optional<std::string>& note) {
    QVBoxLayout* c = card_->content();
    while (QLayoutItem* item = c->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    auto explain = [this, c](const std::string& s) {
        QLabel* l = GuideBlocks::text(s, 14, gMuted, QFont::Normal, true);
        // The card lays its content out at its natural size, which a wrapped text of several
        // lines underestimates: each text gets the height its lines take at the card's width.
        const QMargins m = c->contentsMargins();
        GuideBlocks::fitHeight(l, card_->width() - m.left() - m.right());
        return l;
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
    // This desktop has no settings page that grants a camera: the card says what is true
    // here instead.
    case Camera::blocked:
        c->addWidget(new CheckLine(false, "", "The camera is blocked for Helmvantor"));
        if (note) {
            c->addWidget(explain(*note));
        }
        break;
    case Camera::missing:
        c->addWidget(new CheckLine(false, "", "No camera found"));
        if (note) {
            c->addWidget(explain(*note));
        }
        break;
    }
}

} // namespace helm
