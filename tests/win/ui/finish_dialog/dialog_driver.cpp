#include "tests/win/ui/finish_dialog/dialog_driver.h"

#include "foundation/unique_handle.h"
#include "tests/win/support/wait.h"
#include "tests/capture/screen_capture.h"

#include <atomic>
#include <thread>

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

// Set when the dialog's thread takes the marker posted after a test's own messages.
std::atomic<bool> g_markerTaken{false};

UINT MarkerMessage()
{
    static const UINT marker = RegisterWindowMessageA("VsTestPostedMarker");
    return marker;
}

LRESULT CALLBACK SeeMarker(int code, WPARAM removal, LPARAM message)
{
    if (code == HC_ACTION && removal == PM_REMOVE && reinterpret_cast<const MSG*>(message)->message == MarkerMessage())
        g_markerTaken = true;
    return CallNextHookEx(nullptr, code, removal, message);
}

} // namespace

void WaitForPostedMessages(HWND window)
{
    // A thread takes its posted messages in order: once it takes a marker posted now, it has
    // handled every message posted before.
    g_markerTaken = false;
    const UniqueWindowsHook hook(
        SetWindowsHookExA(WH_GETMESSAGE, SeeMarker, nullptr, GetWindowThreadProcessId(window, nullptr)));
    PostMessageA(window, MarkerMessage(), 0, 0);
    WaitFor("the dialog to handle the messages posted to it", [window] { return g_markerTaken || !IsWindow(window); },
            10000);
}

HWND WaitForDialog(const char* caption, DWORD milliseconds)
{
    Search search{caption, nullptr};
    WaitUntil(
        [&search] {
            EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        milliseconds);
    return search.found;
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
    RECT windowArea{};
    GetWindowRect(window, &windowArea);
    // Wine copies nothing at all from an area that reaches beyond the screen.
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT area{};
    IntersectRect(&area, &windowArea, &screen);
    return SavePng(*CaptureScreen(area), path);
}

DWORD ScreenPixel(HWND window, int x, int y)
{
    POINT point{x, y};
    ClientToScreen(window, &point);
    return CaptureScreen({point.x, point.y, point.x + 1, point.y + 1})->Rgb(0, 0);
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
