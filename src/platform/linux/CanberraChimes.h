#pragma once

#include "platform/Speech.h"

#include <memory>
#include <string>

struct ca_context;

namespace helm {

// Event sounds of the freedesktop sound theme, played through libcanberra.
class CanberraChimes : public Chimes {
public:
    // The player, or none when no sound output can be opened.
    static std::unique_ptr<Chimes> open();
    ~CanberraChimes() override;
    CanberraChimes(const CanberraChimes&) = delete;
    CanberraChimes& operator=(const CanberraChimes&) = delete;

    void play(const std::string& eventId) override;

private:
    explicit CanberraChimes(ca_context* context) : context_(context) {}
    ca_context* context_;
};

} // namespace helm
