#include "tests/win/finish_dialog/dialog_driver.h"

#include "tests/win/support/png_encoder.h"
#include "foundation/unique_handle.h"

#include <gdiplus.h>

#include <thread>
#include <vector>

namespace {

struct Search {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char caption[256] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (processId == GetCurrentProcessId() && IsWindowVisible(window) && lstrcmpA(caption, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForDialog(const char* caption, DWORD milliseconds)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        Search search{caption, nullptr};
        EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || GetTickCount64() >= end)
            return search.found;
        Sleep(20);
    }
}

void WithPerson(const char* caption, const std::function<void(HWND)>& person, const std::function<void()>& body)
{
    std::thread personThread([&] {
        const HWND window = WaitForDialog(caption, 15000);
        person(window);
        // Still open after the person is done: close it, or the test would hang.
        if (window != nullptr && IsWindow(window) && IsWindowVisible(window))
            PostMessageA(window, WM_CLOSE, 0, 0);
    });
    body();
    personThread.join();
}

INT_PTR RunModal(CDialog& dialog, const char* caption, const std::function<void(HWND)>& person)
{
    INT_PTR result = -1;
    WithPerson(caption, person, [&] { result = dialog.DoModal(); });
    return result;
}

RECT ChildRect(HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool SaveWindowPicture(HWND window, const std::string& path)
{
    RECT area{};
    GetWindowRect(window, &area);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    UniqueGdiObject bitmap(CreateCompatibleBitmap(screen, width, height));
    HGDIOBJ previous = SelectObject(memory, bitmap.Get());
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    CLSID encoder{};
    if (!FindPngEncoder(encoder))
        return false;
    Gdiplus::Bitmap picture(static_cast<HBITMAP>(bitmap.Get()), nullptr);
    std::wstring widePath(path.begin(), path.end());
    return picture.Save(widePath.c_str(), &encoder, nullptr) == Gdiplus::Ok;
}

DWORD ScreenPixel(HWND window, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

bool IsEmptyFolder(const std::string& folder)
{
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    bool empty = true;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            empty = empty && (name == "." || name == "..");
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    return empty;
}
