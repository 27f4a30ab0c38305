#include "platform/linux/CanberraChimes.h"

#include <canberra.h>

namespace helm {

std::unique_ptr<Chimes> CanberraChimes::open() {
    ca_context* c = nullptr;
    if (ca_context_create(&c) != CA_SUCCESS) {
        return nullptr;
    }
    ca_context_change_props(c, CA_PROP_APPLICATION_NAME, "Helmvantor", nullptr);
    if (ca_context_open(c) != CA_SUCCESS) {
        ca_context_destroy(c);
        return nullptr;
    }
    return std::unique_ptr<Chimes>(new CanberraChimes(c));
}

CanberraChimes::~CanberraChimes() {
    ca_context_destroy(context_);
}

void CanberraChimes::play(const std::string& eventId) {
    // A sound the theme lacks fails here; that plays nothing and is not worth a line.
    ca_context_play(context_, 0, CA_PROP_EVENT_ID, eventId.c_str(), nullptr);
}

} // namespace helm
