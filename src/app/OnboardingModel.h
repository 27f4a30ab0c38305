#pragma once

#include <QObject>

#include <optional>
#include <string>

namespace helm {

// The set-up guide's state as the rest of the program reads and writes it. Every write
// announces itself; main thread only.
class OnboardingModel : public QObject {
    Q_OBJECT
public:
    // The guide page shown, 0 to 6.
    int step = 0;
    // The computer name of the first PC keyboard focus reached, once it has.
    std::optional<std::string> firstSwitch;

    void setFirstSwitch(std::string computerName);
    // The screens changed: the pages read them again.
    void screensChanged();

signals:
    void changed();
};

} // namespace helm
