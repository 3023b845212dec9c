#include "tools/lab/driver/screen_capture.h"

#include <gdiplus.h>

#include <climits>
#include <cstdlib>
#include <vector>

namespace {

bool PngEncoder(CLSID& encoder)
{
    UINT count = 0;
    UINT size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, L"image/png") == 0) {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

std::wstring Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

struct StockIcon {
    LPCSTR id;
    const char* name;
};

const StockIcon kStockIcons[] = {
    {IDI_ERROR, "error"}, {IDI_QUESTION, "question"}, {IDI_EXCLAMATION, "exclamation"}, {IDI_INFORMATION, "information"}};

int Distance(COLORREF a, COLORREF b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

} // namespace

ScreenPicture::ScreenPicture(const RECT& area) : m_area(area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0)
        return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    m_bitmap.Reset(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (m_bitmap) {
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ previous = SelectObject(memory, m_bitmap.Get());
        BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
        GdiFlush();
        m_pixels = static_cast<const DWORD*>(bits);
    }
    ReleaseDC(nullptr, screen);
}

bool ScreenPicture::SavePng(const std::string& path) const
{
    CLSID encoder;
    if (!IsValid() || !PngEncoder(encoder))
        return false;
    Gdiplus::Bitmap bitmap(static_cast<HBITMAP>(m_bitmap.Get()), nullptr);
    return bitmap.Save(Wide(path).c_str(), &encoder, nullptr) == Gdiplus::Ok;
}

COLORREF ScreenPicture::PixelAt(int x, int y) const
{
    const int width = m_area.right - m_area.left;
    const DWORD pixel = m_pixels[y * width + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

std::string ScreenPicture::StockIconAt(const RECT& iconArea) const
{
    RECT area;
    if (!IsValid() || !IntersectRect(&area, &iconArea, &m_area))
        return {};
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const int left = area.left - m_area.left;
    const int top = area.top - m_area.top;
    // Icons leave their corners clear, so the first pixel is the background they were drawn on.
    const COLORREF background = PixelAt(left, top);

    std::string best;
    long bestDistance = LONG_MAX;
    for (const StockIcon& stock : kStockIcons) {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        UniqueGdiObject canvas(CreateCompatibleBitmap(screen, width, height));
        ReleaseDC(nullptr, screen);
        HGDIOBJ previous = SelectObject(memory, canvas.Get());
        const UniqueGdiObject brush(CreateSolidBrush(background));
        const RECT all = {0, 0, width, height};
        FillRect(memory, &all, static_cast<HBRUSH>(brush.Get()));
        DrawIconEx(memory, 0, 0, LoadIconA(nullptr, stock.id), width, height, 0, nullptr, DI_NORMAL);
        long distance = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                distance += Distance(GetPixel(memory, x, y), PixelAt(left + x, top + y));
        }
        SelectObject(memory, previous);
        DeleteDC(memory);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = stock.name;
        }
    }
    // Up to an average of 8 levels a pixel for a match: the same picture, not just a similar one.
    return bestDistance <= 8L * width * height ? best : std::string();
}
