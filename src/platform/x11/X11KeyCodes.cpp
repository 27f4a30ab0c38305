#include "platform/x11/X11KeyCodes.h"

#include <map>

namespace helm {

namespace {

constexpr int evdevGrave = 41, evdevIso102 = 86;
constexpr int macGrave = 50, macIsoSection = 10;

// evdev code → Mac virtual key code, for an ANSI keyboard.
const std::map<int, int>& positions() {
    static const std::map<int, int> table = {
        {1, 53},    {2, 18},    {3, 19},    {4, 20},    {5, 21},    {6, 23},    {7, 22},
        {8, 26},    {9, 28},    {10, 25},   {11, 29},   {12, 27},   {13, 24},   {14, 51},
        {15, 48},   {16, 12},   {17, 13},   {18, 14},   {19, 15},   {20, 17},   {21, 16},
        {22, 32},   {23, 34},   {24, 31},   {25, 35},   {26, 33},   {27, 30},   {28, 36},
        {29, 55},   {30, 0},    {31, 1},    {32, 2},    {33, 3},    {34, 5},    {35, 4},
        {36, 38},   {37, 40},   {38, 37},   {39, 41},   {40, 39},   {41, 50},   {42, 56},
        {43, 42},   {44, 6},    {45, 7},    {46, 8},    {47, 9},    {48, 11},   {49, 45},
        {50, 46},   {51, 43},   {52, 47},   {53, 44},   {54, 60},   {55, 67},   {56, 58},
        {57, 49},   {58, 57},   {59, 122},  {60, 120},  {61, 99},   {62, 118},  {63, 96},
        {64, 97},   {65, 98},   {66, 100},  {67, 101},  {68, 109},  {69, 71},   {71, 89},
        {72, 91},   {73, 92},   {74, 78},   {75, 86},   {76, 87},   {77, 88},   {78, 69},
        {79, 83},   {80, 84},   {81, 85},   {82, 82},   {83, 65},   {86, 10},   {87, 103},
        {88, 111},  {96, 76},   {97, 54},   {98, 75},   {100, 61},  {102, 115}, {103, 126},
        {104, 116}, {105, 123}, {106, 124}, {107, 119}, {108, 125}, {109, 121}, {110, 114},
        {111, 117}, {117, 81},  {125, 59},  {126, 62},  {183, 105}, {184, 107}, {185, 113},
        {186, 106}, {187, 64},  {188, 79},  {189, 80},  {190, 90},
    };
    return table;
}

} // namespace

std::optional<int> X11KeyCodes::macForEvdev(int evdev, bool iso) {
    if (iso && evdev == evdevGrave)
        return macIsoSection;
    if (iso && evdev == evdevIso102)
        return macGrave;
    auto it = positions().find(evdev);
    if (it == positions().end())
        return std::nullopt;
    return it->second;
}

std::optional<int> X11KeyCodes::evdevForMac(int mac, bool iso) {
    if (iso && mac == macIsoSection)
        return evdevGrave;
    if (iso && mac == macGrave)
        return evdevIso102;
    for (const auto& [evdev, code] : positions())
        if (code == mac)
            return evdev;
    return std::nullopt;
}

std::optional<int> X11KeyCodes::macForModifierKeysym(unsigned long keysym) {
    switch (keysym) {
    case 0xffe1: // Shift_L
        return 56;
    case 0xffe2: // Shift_R
        return 60;
    case 0xffe3: // Control_L
        return 55;
    case 0xffe4: // Control_R
        return 54;
    case 0xffe5: // Caps_Lock
        return 57;
    case 0xffe7: // Meta_L
    case 0xffe9: // Alt_L
        return 58;
    case 0xffe8: // Meta_R
    case 0xffea: // Alt_R
    case 0xfe03: // ISO_Level3_Shift (AltGr)
        return 61;
    case 0xffeb: // Super_L
        return 59;
    case 0xffec: // Super_R
        return 62;
    default:
        return std::nullopt;
    }
}

std::optional<unsigned long> X11KeyCodes::ownKeysymForMac(int mac) {
    switch (mac) {
    case 56:
        return 0xffe1; // Shift_L
    case 60:
        return 0xffe2; // Shift_R
    case 55:
        return 0xffe3; // Control_L
    case 54:
        return 0xffe4; // Control_R
    case 57:
        return 0xffe5; // Caps_Lock
    case 58:
        return 0xffe9; // Alt_L
    case 61:
        return 0xffea; // Alt_R
    case 59:
        return 0xffeb; // Super_L
    case 62:
        return 0xffec; // Super_R
    default:
        return std::nullopt;
    }
}

bool X11KeyCodes::isIsoModel(std::string_view model) {
    return model.starts_with("pc102") || model.starts_with("pc105");
}

} // namespace helm
