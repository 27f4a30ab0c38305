#pragma once

class QMessageBox;

namespace helm {

// A question box in the program's own look whatever the desktop's theme, the Fusion style over
// the dark palette, and titled with the program's name rather than its file's. Called once its
// texts and buttons are in place.
void darkAlert(QMessageBox& box);

} // namespace helm
