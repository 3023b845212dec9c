#include "ui/painted/display_scale.h"

#include "foundation/unique_handle.h"

UINT WindowDpi(HWND window)
{
    // Looked up at run time: the image also starts on Windows Vista and 7, which lack it.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0)
            return dpi;
    }
    if (!IsProcessDPIAware())
        return kDesignDpi;
    const UniqueScreenDC screen(GetDC(nullptr));
    const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

int ScaleToDpi(int length, UINT dpi)
{
    return MulDiv(length, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

float ScaleToDpi(float length, UINT dpi)
{
    return length * (static_cast<float>(dpi) / static_cast<float>(kDesignDpi));
}
