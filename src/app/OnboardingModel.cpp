#include "app/OnboardingModel.h"

#include <utility>

namespace helm {

void OnboardingModel::setFirstSwitch(std::string computerName) {
    firstSwitch = std::move(computerName);
    emit changed();
}

void OnboardingModel::screensChanged() {
    emit changed();
}

} // namespace helm
