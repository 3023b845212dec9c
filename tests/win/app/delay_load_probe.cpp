// Calls into both delay-loaded system DLLs and says how it went:
// 0 - each worked, gdiplus.dll loaded at its first call, both from the system folder;
// 1 - gdiplus.dll was loaded before the first call; 2 - GdiplusStartup or InitCommonControlsEx
// failed; 3 - a DLL came from somewhere else than the system folder.
// (The platform may load comctl32.dll into any GUI process before the first call.)
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

namespace {

bool FromSystemFolder(const char* name)
{
    char loaded[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA(name), loaded, MAX_PATH);
    char expected[MAX_PATH] = {};
    GetSystemDirectoryA(expected, MAX_PATH);
    lstrcatA(expected, "\\");
    lstrcatA(expected, name);
    return lstrcmpiA(loaded, expected) == 0;
}

} // namespace

int main()
{
    if (GetModuleHandleA("gdiplus.dll") != nullptr)
        return 1;
    ULONG_PTR token = 0;
    const Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 2;
    Gdiplus::GdiplusShutdown(token);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    if (!InitCommonControlsEx(&controls))
        return 2;
    return FromSystemFolder("gdiplus.dll") && FromSystemFolder("comctl32.dll") ? 0 : 3;
}
