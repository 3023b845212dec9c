// The keys the welcome page is read with. The browser acts on many more (Ctrl+N and Ctrl+O open
// windows and file dialogs, Ctrl+P prints, Alt+Left goes back, F5, F11, Ctrl+U shows the
// source), and in the elevated setup a window or dialog of its is an elevated shell.
#pragma once

#include <windows.h>

// True for every message that is no key press or release, and for the keys that move through
// the page: Tab, arrows, Enter, Space, Page Up and Down, Home, End (Shift allowed), Ctrl+C and
// Ctrl+Insert to copy, and the Shift and Ctrl keys themselves. False for every other key, and
// for any key with Alt.
bool IsPageKey(const MSG& message);
