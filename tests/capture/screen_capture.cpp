#include "tests/capture/screen_capture.h"

#include "foundation/wide_text.h"

#include <climits>
#include <cstdlib>
#include <vector>

namespace {

// A copy of the source device context's rectangle; the caller's DC stays the caller's.
std::unique_ptr<DibCanvas> Copy(HDC source, const RECT& area)
{
    auto picture = std::make_unique<DibCanvas>(area.right - area.left, area.bottom - area.top, 0);
    if (picture->IsValid()) {
        BitBlt(picture->Dc(), 0, 0, picture->Width(), picture->Height(), source, area.left, area.top, SRCCOPY);
        GdiFlush();
    }
    return picture;
}

int Distance(DWORD a, DWORD b)
{
    int sum = 0;
    for (int shift = 0; shift < 24; shift += 8)
        sum += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return sum;
}

} // namespace

std::unique_ptr<DibCanvas> CaptureScreen(const RECT& area)
{
    HDC screen = GetDC(nullptr);
    auto picture = Copy(screen, area);
    ReleaseDC(nullptr, screen);
    return picture;
}

std::unique_ptr<DibCanvas> CaptureClientArea(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    auto picture = Copy(dc, client);
    ReleaseDC(window, dc);
    return picture;
}

bool FindPngEncoder(CLSID& encoder)
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
        if (lstrcmpW(codecs[i].MimeType, L"image/png") == 0) {
            encoder = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

bool SavePng(Gdiplus::Image& image, const std::string& path)
{
    CLSID encoder{};
    const WideText widePath = ToUtf16(path.c_str(), CP_ACP);
    return FindPngEncoder(encoder) && !widePath.empty() && image.Save(widePath.data(), &encoder, nullptr) == Gdiplus::Ok;
}

bool SavePng(const DibCanvas& picture, const std::string& path)
{
    if (!picture.IsValid())
        return false;
    Gdiplus::Bitmap bitmap(picture.Bitmap(), nullptr);
    return SavePng(bitmap, path);
}

LPCSTR StockIconIn(const DibCanvas& picture, const RECT& area)
{
    RECT whole = {0, 0, picture.Width(), picture.Height()};
    RECT icon{};
    if (!picture.IsValid() || !IntersectRect(&icon, &area, &whole))
        return nullptr;
    const int width = icon.right - icon.left;
    const int height = icon.bottom - icon.top;
    // Icons leave their corners clear, so the first pixel is the background they were drawn on.
    const DWORD background = picture.Rgb(icon.left, icon.top);

    LPCSTR best = nullptr;
    long bestDistance = LONG_MAX;
    for (LPCSTR candidate : {IDI_ERROR, IDI_QUESTION, IDI_EXCLAMATION, IDI_INFORMATION}) {
        DibCanvas drawn(width, height, background);
        DrawIconEx(drawn.Dc(), 0, 0, LoadIconA(nullptr, candidate), width, height, 0, nullptr, DI_NORMAL);
        long distance = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                distance += Distance(drawn.Rgb(x, y), picture.Rgb(icon.left + x, icon.top + y));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    // Up to an average of 8 levels a pixel for a match: the same picture, not just a similar one.
    return bestDistance <= 8L * width * height ? best : nullptr;
}
