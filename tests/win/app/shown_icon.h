// Which stock icon a message box of another process shows. Wine gives every process its own
// handles for the shared icons, so a handle from another process cannot be compared with ours;
// the picture on the screen can.
#pragma once

#include <windows.h>

// IDI_EXCLAMATION, IDI_HAND, IDI_QUESTION or IDI_ASTERISK; null when the box shows none of
// them or cannot be seen. Moves the box into the screen's lower right corner, away from the
// centred boxes of other programs.
LPCSTR ShownStockIcon(HWND box);
