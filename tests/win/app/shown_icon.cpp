#include "tests/win/app/shown_icon.h"

#include "foundation/unique_handle.h"

#include <cstdlib>
#include <vector>

namespace {

HWND IconControl(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return child;
    }
    return nullptr;
}

// A top-down 32-bit picture of width x height with a memory DC selected into it.
class Picture {
public:
    Picture(int width, int height) : m_dc(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_pixels = static_cast<DWORD*>(bits);
        m_count = width * height;
        m_previous = SelectObject(m_dc, m_bitmap.Get());
    }
    ~Picture()
    {
        SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    HDC Dc() const { return m_dc; }
    DWORD Pixel(int index) const { return m_pixels[index] & 0xFFFFFF; }
    int Count() const { return m_count; }

private:
    HDC m_dc;
    UniqueGdiObject m_bitmap;
    HGDIOBJ m_previous = nullptr;
    DWORD* m_pixels = nullptr;
    int m_count = 0;
};

long Difference(const Picture& a, const Picture& b)
{
    long sum = 0;
    for (int i = 0; i < a.Count(); ++i)
        for (int shift = 0; shift < 24; shift += 8)
            sum += std::abs(int((a.Pixel(i) >> shift) & 0xFF) - int((b.Pixel(i) >> shift) & 0xFF));
    return sum;
}

} // namespace

LPCSTR ShownStockIcon(HWND box)
{
    const HWND icon = IconControl(box);
    if (icon == nullptr)
        return nullptr;
    RECT boxRect = {};
    GetWindowRect(box, &boxRect);
    const int x = GetSystemMetrics(SM_CXSCREEN) - (boxRect.right - boxRect.left) - 8;
    const int y = GetSystemMetrics(SM_CYSCREEN) - (boxRect.bottom - boxRect.top) - 8;
    SetWindowPos(box, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(500);

    RECT rect = {};
    GetWindowRect(icon, &rect);
    const POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (GetAncestor(WindowFromPoint(centre), GA_ROOT) != box)
        return nullptr;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    Picture shown(width, height);
    HDC screen = GetDC(nullptr);
    BitBlt(shown.Dc(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ReleaseDC(nullptr, screen);

    // Each candidate drawn the same way on the box's own background (the icons' corners are clear).
    const DWORD background = shown.Pixel(0);
    const COLORREF backgroundColour = RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF);
    LPCSTR best = nullptr;
    long bestDifference = 0;
    for (LPCSTR candidate : {IDI_EXCLAMATION, IDI_HAND, IDI_QUESTION, IDI_ASTERISK}) {
        Picture drawn(width, height);
        const UniqueGdiObject brush(CreateSolidBrush(backgroundColour));
        const RECT all = {0, 0, width, height};
        FillRect(drawn.Dc(), &all, static_cast<HBRUSH>(brush.Get()));
        DrawIconEx(drawn.Dc(), 0, 0, LoadIconA(nullptr, candidate), width, height, 0, nullptr, DI_NORMAL);
        const long difference = Difference(shown, drawn);
        if (best == nullptr || difference < bestDifference) {
            best = candidate;
            bestDifference = difference;
        }
    }
    // A close match only: at most a few levels per channel on average.
    return bestDifference <= 4L * 3 * width * height ? best : nullptr;
}
