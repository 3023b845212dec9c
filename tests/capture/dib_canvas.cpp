#include "tests/capture/dib_canvas.h"

DibCanvas::DibCanvas(int width, int height, DWORD fill)
    : m_width(width), m_height(height), m_dc(CreateCompatibleDC(nullptr))
{
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap.Reset(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!m_bitmap)
        return;
    m_bits = static_cast<DWORD*>(bits);
    m_previous = SelectObject(m_dc, m_bitmap.Get());
    for (int i = 0; i < width * height; ++i)
        m_bits[i] = fill;
}

DibCanvas::~DibCanvas()
{
    if (m_previous != nullptr)
        SelectObject(m_dc, m_previous);
    DeleteDC(m_dc);
}

DWORD DibCanvas::Rgb(int x, int y) const
{
    GdiFlush();
    return m_bits[y * m_width + x] & 0x00FFFFFF;
}
