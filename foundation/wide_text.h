// Narrow text handed to the platform's wide interfaces, and the platform's wide text taken
// back into the ANSI code page only where nothing is lost.
#pragma once

#include "foundation/narrow_string.h"

#include <windows.h>

#include <vector>

// UTF-16 text with its terminating zero. Not std::wstring: the static C++ runtime brings its
// wide string as one block of 35 KB, a tenth of the shipped image's code.
using WideText = std::vector<WCHAR>;

// The text in UTF-16, converted with the given ANSI code page; no text or text that cannot be
// converted gives the empty text.
WideText ToUtf16(const char* text, UINT codePage = CP_THREAD_ACP);

// The text in the ANSI code page that the narrow file calls use (CP_ACP), when every character
// has its own there: no default character and no best-fit neighbour (in 1252 "Łukasz" would
// become "Lukasz", another name). Empty for no text and for text that loses a character.
CStringA ToAnsiExactly(const WCHAR* text);
