// The terminal's modes: saved once, changed for single-key input, and put
// back exactly once on every way out, signals included.
#pragma once

namespace kolm::platform::posix {

// Saves the terminal's modes and switches to single-key input with no echo
// and no output translation (the program writes CR LF itself). Installs the
// restore for normal ends and for SIGINT, SIGTERM, SIGQUIT, SIGHUP and SIGPIPE.
// Writes past the file size limit fail (SIGXFSZ ignored), terminal or not.
// Otherwise does nothing after its first call or when no terminal is attached.
void terminal_setup();

// Puts back the saved modes and the cursor's visibility. Async-signal-safe.
void terminal_restore();

// The cursor's visibility as the program last set it (visible at start).
bool cursor_visible();
void set_cursor_visible(bool visible);

// TERM=dumb and the like: no escape sequences.
bool terminal_is_dumb();

}  // namespace kolm::platform::posix
