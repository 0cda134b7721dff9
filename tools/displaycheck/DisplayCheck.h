#pragma once
// Shows the display's test scene in a real window (run it under Xvfb: xvfb-run -a), with frames
// drawn and presented from a second thread as the app-task thread does, and checks that they reach
// the window: the window's pixels are read back after the message pump showed the newest frame.

namespace tools {

// 0 when the window shows the scene; writes the window's picture as a PNG at png_path.
int RunDisplayCheck(const char* png_path);

} // namespace tools
