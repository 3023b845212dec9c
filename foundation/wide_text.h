// Narrow text handed to the platform's wide interfaces.
#pragma once

#include <windows.h>

#include <vector>

// UTF-16 text with its terminating zero. Not std::wstring: the static C++ runtime brings its
// wide string as one block of 35 KB, a tenth of the shipped image's code.
using WideText = std::vector<WCHAR>;

// The text in UTF-16, converted with the given ANSI code page; no text or text that cannot be
// converted gives the empty text.
WideText ToUtf16(const char* text, UINT codePage = CP_THREAD_ACP);
