// A top-down 32-bit device-independent bitmap selected into its own memory device context:
// to paint into and read back, or to hold what the screen showed.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>

class DibCanvas {
public:
    // Every pixel set to fill; no pixels (IsValid false) when the size is empty.
    DibCanvas(int width, int height, DWORD fill);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    bool IsValid() const { return m_bits != nullptr; }
    HDC Dc() const { return m_dc; }
    HBITMAP Bitmap() const { return static_cast<HBITMAP>(m_bitmap.Get()); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // 0x00RRGGBB: GDI leaves the alpha byte of a DIB undefined.
    DWORD Rgb(int x, int y) const;

private:
    int m_width;
    int m_height;
    HDC m_dc;
    UniqueGdiObject m_bitmap;
    HGDIOBJ m_previous = nullptr;
    DWORD* m_bits = nullptr;
};
