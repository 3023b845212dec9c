// What every self-painting window shares: the GDI+ headers, narrow text handed to GDI+ as
// UTF-16, and fonts that fall back to the generic sans-serif family.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <gdiplus.h>

#include <memory>
#include <vector>

// UTF-16 text with its terminating zero. Not std::wstring: the static C++ runtime brings its
// wide string as one block of 35 KB, a tenth of the shipped image's code.
using WideText = std::vector<WCHAR>;

// The text in UTF-16, converted with the calling thread's ANSI code page.
WideText ToUtf16(const char* text);

// A font of the named family; when that family cannot be had, of the generic sans-serif family,
// as GDI+ does on Windows (Wine's GDI+ fails instead), or else of the face the system gives its
// default GUI font.
std::shared_ptr<Gdiplus::Font> NewFontOrSansSerif(const WCHAR* familyName, Gdiplus::REAL emSize, INT style,
                                                  Gdiplus::Unit unit);
