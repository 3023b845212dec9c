// Starts and stops GDI+ through the delay-loaded import and says how it went:
// 0 - gdiplus.dll was loaded at the first call, from the system folder, and GDI+ started;
// 1 - gdiplus.dll was loaded before the first call; 2 - GdiplusStartup failed;
// 3 - gdiplus.dll came from somewhere else than the system folder.
#include <windows.h>
#include <gdiplus.h>

int main()
{
    if (GetModuleHandleA("gdiplus.dll") != nullptr)
        return 1;
    ULONG_PTR token = 0;
    const Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return 2;
    Gdiplus::GdiplusShutdown(token);

    char loaded[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA("gdiplus.dll"), loaded, MAX_PATH);
    char expected[MAX_PATH] = {};
    GetSystemDirectoryA(expected, MAX_PATH);
    lstrcatA(expected, "\\gdiplus.dll");
    return lstrcmpiA(loaded, expected) == 0 ? 0 : 3;
}
