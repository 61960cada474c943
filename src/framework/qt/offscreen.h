#pragma once

namespace nuv::fw::qt {

// Runs Qt on its offscreen platform unless QT_QPA_PLATFORM names another,
// and keeps Qt's notes about what that platform cannot do (raise a window,
// pass on size hints) and about a missing desktop session out of the
// output, where they would bury what a walk or a test has to say. Call
// before the QApplication is made.
void UseOffscreenPlatform();

}  // namespace nuv::fw::qt
