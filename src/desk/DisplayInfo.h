#pragma once

#include "desk/Json.h"

#include <string>
#include <vector>

namespace helm {

// One physical display as its computer reports it. This Mac's enumeration and the PCs' "d"
// lines produce the same record.
struct DisplayInfo {
    std::string key; // vendor, model and serial in decimal, joined by "-"
    std::string name;
    int index = 0;  // position in the computer's display list, from 0
    double x = 0;   // points, left edge; origin top-left of the first display
    double y = 0;   // points, top edge, growing downwards
    double w = 0;   // points
    double h = 0;   // points
    double mmW = 0; // millimetres; 0 or small when the display does not say
    double mmH = 0;
    bool primary = false;

    friend bool operator==(const DisplayInfo&, const DisplayInfo&) = default;

    json::Json toJson() const;
    static DisplayInfo fromJson(const json::Json& j);

    // A JSON array of records, as a PC sends its display list.
    static json::Json listToJson(const std::vector<DisplayInfo>& list);
    static std::vector<DisplayInfo> listFromJson(const json::Json& j);
};

} // namespace helm
