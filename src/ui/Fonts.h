#pragma once

#include <QFont>

class QPaintDevice;

// The program's one typeface, Inter, built into the program so that drawn text looks the same
// on every machine whatever fonts it has installed.
namespace helm::Fonts {

// Registers the bundled faces once (a QGuiApplication must exist) and gives their family.
QString family();

// Inter at px logical pixels for the device it is drawn on (QFont's points follow the device's
// logical dpi), weight one of Normal, Medium, DemiBold or Bold. Hinting and subpixel
// antialiasing are off, so images do not differ between machines.
QFont font(double px, QFont::Weight weight, const QPaintDevice* device = nullptr);

// The same in the desktop's monospaced face, for codes and keys whose characters line up.
QFont mono(double px, QFont::Weight weight, const QPaintDevice* device = nullptr);

} // namespace helm::Fonts
