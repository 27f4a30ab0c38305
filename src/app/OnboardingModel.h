#pragma once

#include <QObject>

namespace helm {

// The set-up guide's state as far as the rest of the program feeds it; the guide's pages add
// their fields here. Main thread only.
class OnboardingModel : public QObject {
    Q_OBJECT
public:
    int step = 0;

    // The desk's screens changed: pages showing them read the desk again.
    void screensChanged();

signals:
    void changed();
};

} // namespace helm
