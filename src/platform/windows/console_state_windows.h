// State shared by the Windows console files: the standard handles and what
// the program changed in the console, so that it can be put back.
#pragma once

namespace kolm::platform::windows {

// Switches processed input on, so that Ctrl+C and Ctrl+Break go to the
// system, and arranges for the console to be put back on the way out.
// Does its work once.
void console_setup();

// Puts back the cursor's visibility and the input mode bits the program
// cleared. Safe to call from the control handler's thread and more than once.
void console_restore();

// Takes the console control handler away again (input_open installs it).
void remove_control_handler();

}  // namespace kolm::platform::windows
