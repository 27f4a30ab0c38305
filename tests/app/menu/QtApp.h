#pragma once

class QApplication;

namespace helm {

// One application object for the whole test program, deleted once the last test has run
// (left to the exit handlers, it would outlive parts of Qt it still uses).
QApplication& qtApp();

} // namespace helm
