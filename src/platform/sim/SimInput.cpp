#include "platform/sim/SimInput.h"

#include <cstdio>

namespace helm {

namespace {

std::string line(const char* word, double a, double b) {
    char text[96];
    std::snprintf(text, sizeof text, "%s %g %g", word, a, b);
    return text;
}

} // namespace

bool SimInput::observe(Handler h) {
    handler = std::move(h);
    return isTrusted;
}

void SimInput::wantGrabs(bool k, bool p) {
    bool before = keyboard, pointerBefore = pointer;
    keyboard = k && grantKeyboard;
    pointer = p && grantPointer;
    if ((keyboard != before || pointer != pointerBefore) && changed)
        changed();
}

void SimInput::postKey(int code, bool down) {
    posted.push_back(line("key", code, down));
}
void SimInput::postButton(int number, bool down) {
    posted.push_back(line("button", number, down));
}
void SimInput::postMotion(double x, double y) {
    posted.push_back(line("motion", x, y));
}
void SimInput::postScroll(double dy, double dx) {
    posted.push_back(line("scroll", dy, dx));
}

void SimInput::send(const InputEvent& e) {
    if (handler)
        handler(e);
}

} // namespace helm
