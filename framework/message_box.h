// The framework's message box: no owner (the setup has no main window), the executable's file
// name without extension as title, and an icon when the caller gives none: the exclamation
// mark on an OK-only box, the question mark on a Yes/No box.
#pragma once

#include <windows.h>

int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpContext = 0);
// The text is the string-table entry of that identifier.
int AfxMessageBox(UINT textId, UINT type = MB_OK, UINT helpContext = UINT(-1));

// The title every framework box carries.
const char* AfxGetAppTitle();
