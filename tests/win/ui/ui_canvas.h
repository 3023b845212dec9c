// Message pumping and a 32-bit DIB to paint into and read back, for the ui tests and the
// rendering benchmark.
#pragma once

#include <windows.h>

// Dispatches every message waiting in this thread's queue.
void PumpMessages();

// A top-down 32-bit device-independent bitmap selected into its own memory device context.
class DibCanvas {
public:
    DibCanvas(int width, int height, DWORD fill);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // 0x00RRGGBB: GDI leaves the alpha byte of a DIB undefined.
    DWORD Rgb(int x, int y) const;

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
    DWORD* m_bits = nullptr;
};
