#pragma once

#include <string>

namespace helm {

// Writes the pictures of the guide, the settings tabs, the menu header, the camera hint, the
// screens window, the 3-D desk and a calibration target into folder, drawn from built-in
// sample data. A picture that cannot be drawn or written is left out and the run goes on;
// nothing is reported. Needs a QApplication made after a RenderSetup.
void renderGuide(const std::string& folder);

// The whole "--render-guide" run, before anything else of the program exists: fixes the
// environment, makes the application, renders. Always answers exit status 0.
int runGuideRenderer(int& argc, char** argv, const std::string& folder);

} // namespace helm
