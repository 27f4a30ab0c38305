#include "app/OnboardingModel.h"

namespace helm {

void OnboardingModel::screensChanged() {
    emit changed();
}

} // namespace helm
