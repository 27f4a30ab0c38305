#include "input/KeyMap.h"

namespace helm {

namespace {

constexpr int isoSection = 10, grave = 50;
constexpr int pcGrave = 0x29, pcIso102 = 0x56;

} // namespace

const std::map<int, int>& KeyMap::table() {
    static const std::map<int, int> pairs = {
        {0, 0x1E},     {1, 0x1F},     {2, 0x20},     {3, 0x21},     {4, 0x23},     {5, 0x22},
        {6, 0x2C},     {7, 0x2D},     {8, 0x2E},     {9, 0x2F},     {10, 0x56},    {11, 0x30},
        {12, 0x10},    {13, 0x11},    {14, 0x12},    {15, 0x13},    {16, 0x15},    {17, 0x14},
        {18, 0x02},    {19, 0x03},    {20, 0x04},    {21, 0x05},    {22, 0x07},    {23, 0x06},
        {24, 0x0D},    {25, 0x0A},    {26, 0x08},    {27, 0x0C},    {28, 0x09},    {29, 0x0B},
        {30, 0x1B},    {31, 0x18},    {32, 0x16},    {33, 0x1A},    {34, 0x17},    {35, 0x19},
        {36, 0x1C},    {37, 0x26},    {38, 0x24},    {39, 0x28},    {40, 0x25},    {41, 0x27},
        {42, 0x2B},    {43, 0x33},    {44, 0x35},    {45, 0x31},    {46, 0x32},    {47, 0x34},
        {48, 0x0F},    {49, 0x39},    {50, 0x29},    {51, 0x0E},    {53, 0x01},    {54, 0xE01D},
        {55, 0x1D},    {56, 0x2A},    {57, 0x3A},    {58, 0x38},    {59, 0xE05B},  {60, 0x36},
        {61, 0xE038},  {62, 0xE05C},  {65, 0x53},    {67, 0x37},    {69, 0x4E},    {71, 0x45},
        {75, 0xE035},  {76, 0xE01C},  {78, 0x4A},    {82, 0x52},    {83, 0x4F},    {84, 0x50},
        {85, 0x51},    {86, 0x4B},    {87, 0x4C},    {88, 0x4D},    {89, 0x47},    {91, 0x48},
        {92, 0x49},    {96, 0x3F},    {97, 0x40},    {98, 0x41},    {99, 0x3D},    {100, 0x42},
        {101, 0x43},   {103, 0x57},   {105, 0x64},   {107, 0x65},   {109, 0x44},   {111, 0x58},
        {113, 0x66},   {114, 0xE052}, {115, 0xE047}, {116, 0xE049}, {117, 0xE053}, {118, 0x3E},
        {119, 0xE04F}, {120, 0x3C},   {121, 0xE051}, {122, 0x3B},   {123, 0xE04B}, {124, 0xE04D},
        {125, 0xE050}, {126, 0xE048},
    };
    return pairs;
}

const std::map<int, int>& KeyMap::reverse() {
    static const std::map<int, int> inverse = [] {
        std::map<int, int> r;
        for (const auto& [mac, pc] : table()) // ascending Mac codes: the lowest stays
            r.emplace(pc, mac);
        return r;
    }();
    return inverse;
}

const std::map<int, std::uint64_t>& KeyMap::modifierMask() {
    static const std::map<int, std::uint64_t> bits = {
        {59, 0x01}, {56, 0x02}, {60, 0x04}, {55, 0x08},
        {54, 0x10}, {58, 0x20}, {61, 0x40}, {62, 0x2000},
    };
    return bits;
}

std::optional<int> KeyMap::scan(int code, bool iso) {
    if (iso && code == isoSection)
        return pcGrave;
    if (iso && code == grave)
        return pcIso102;
    auto it = table().find(code);
    if (it == table().end())
        return std::nullopt;
    return it->second;
}

std::optional<int> KeyMap::mac(int pc, bool iso) {
    if (iso && pc == pcGrave)
        return isoSection;
    if (iso && pc == pcIso102)
        return grave;
    auto it = reverse().find(pc);
    if (it == reverse().end())
        return std::nullopt;
    return it->second;
}

std::optional<bool> KeyMap::modifierDown(int code, std::uint64_t flags) {
    auto it = modifierMask().find(code);
    if (it == modifierMask().end())
        return std::nullopt;
    return (flags & it->second) != 0;
}

} // namespace helm
