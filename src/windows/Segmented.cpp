#include "windows/Segmented.h"

#include "ui/Palette.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>

namespace helm {

Segmented::Segmented(const std::vector<std::string>& titles, int width,
                     std::function<void(int)> onPick, const QFont& font, QWidget* parent)
    : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    // The chosen segment stands out from the others, whatever the desktop's theme.
    const QString style =
        QStringLiteral("QPushButton { background: %1; color: %2; border: 1px solid %3; "
                       "padding: 3px 0; }"
                       "QPushButton:checked { background: %3; color: %4; }")
            .arg(QColor(gPanel).name(), QColor(gMuted).name(), QColor(gLine).lighter(160).name(),
                 QColor(gInk).name());
    for (std::size_t i = 0; i < titles.size(); ++i) {
        auto* b = new QPushButton(QString::fromStdString(titles[i]), this);
        b->setCheckable(true);
        b->setFont(font);
        b->setFocusPolicy(Qt::TabFocus);
        b->setStyleSheet(style);
        // Clicks are reported and the model decides; the buttons show what it holds.
        QObject::connect(b, &QPushButton::clicked, this, [this, i, onPick] {
            select(static_cast<int>(i));
            onPick(static_cast<int>(i));
        });
        row->addWidget(b);
        buttons_.push_back(b);
    }
    setFixedWidth(width);
}

void Segmented::select(int index) {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        QSignalBlocker block(buttons_[i]);
        buttons_[i]->setChecked(static_cast<int>(i) == index);
    }
}

int Segmented::selected() const {
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (buttons_[i]->isChecked()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace helm
