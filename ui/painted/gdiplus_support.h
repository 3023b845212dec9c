// What every self-painting window shares: the GDI+ headers, narrow text handed to GDI+ as
// UTF-16, and fonts that fall back to the generic sans-serif family.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <gdiplus.h>

#include "foundation/wide_text.h"

#include <memory>

// A font of the named family; when that family cannot be had, of the generic sans-serif family,
// as GDI+ does on Windows (Wine's GDI+ fails instead), or else of the face the system gives its
// default GUI font.
std::shared_ptr<Gdiplus::Font> NewFontOrSansSerif(const WCHAR* familyName, Gdiplus::REAL emSize, INT style,
                                                  Gdiplus::Unit unit);
