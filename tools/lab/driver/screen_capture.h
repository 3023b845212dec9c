// Pictures of what a person sees: the screen area of a window saved as PNG through GDI+, and
// the name of the stock icon a message box shows, found by comparing pixels (icon handles of
// another process mean nothing in this one).
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>

#include <string>

// A 32-bit top-down copy of a screen rectangle.
class ScreenPicture {
public:
    explicit ScreenPicture(const RECT& area);
    bool IsValid() const { return m_bitmap.IsValid(); }
    // False when GDI+ has no PNG encoder or the file cannot be written.
    bool SavePng(const std::string& path) const;
    // "error", "question", "exclamation", "information" or "" for the stock icon drawn at that
    // screen rectangle.
    std::string StockIconAt(const RECT& iconArea) const;

private:
    COLORREF PixelAt(int x, int y) const;

    RECT m_area;
    UniqueGdiObject m_bitmap;
    const DWORD* m_pixels = nullptr;
};
