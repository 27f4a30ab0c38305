#pragma once

#include <QTemporaryDir>

namespace helm {

// What the pictures' pixels must not take from the machine they are drawn on, fixed before the
// QApplication exists: Qt's offscreen platform whatever DISPLAY says, no scale or dpi from the
// environment, and a font configuration of its own that knows only the fonts built into the
// program, with antialiasing, hinting and subpixel order fixed. Keeps the fonts' folder alive
// for the run.
class RenderSetup {
public:
    RenderSetup();

    // False when the fonts could not be laid out; the pictures then use the system's.
    bool fontsReady() const { return fontsReady_; }
    // The configuration file handed to fontconfig.
    QString fontConfig() const;

    // The environment variables that would change how the pictures are drawn.
    static const char* const droppedVariables[];

private:
    QTemporaryDir dir_;
    bool fontsReady_ = false;
};

} // namespace helm
