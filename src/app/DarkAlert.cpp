#include "app/DarkAlert.h"

#include "ui/DarkPalette.h"

#include <QMessageBox>
#include <QStyle>
#include <QStyleFactory>

namespace helm {

void darkAlert(QMessageBox& box) {
    box.setWindowTitle(QStringLiteral("Helmvantor"));
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        fusion->setParent(&box); // a widget's style is not owned by it
        // A style set on a widget is not handed down to the widgets inside it.
        box.setStyle(fusion);
        for (QWidget* w : box.findChildren<QWidget*>()) {
            w->setStyle(fusion);
        }
    }
    box.setPalette(darkPalette());
}

} // namespace helm
