#include "desk/CalStep.h"

namespace helm {

json::Json CalStep::toJson() const {
    return {{"target", target.toJson()}, {"prompt", prompt}};
}

CalStep CalStep::fromJson(const json::Json& j) {
    return {CalTarget::fromJson(json::field(j, "target")), json::getString(j, "prompt")};
}

} // namespace helm
