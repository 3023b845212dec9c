// A stand-in for Outlook in tests: a GUI program named outlook.exe whose answer to WM_CLOSE a
// test chooses, and that notes in a marker file what happened to it (standin_protocol.h).
#include "tests/standins/outlook/standin_protocol.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

enum class Mode { Close, Ignore, Ask };

struct Options {
    Mode mode = Mode::Close;
    int windows = 1;
    DWORD lingerMs = 0;
    std::string marker;
};

Options g_options;
int g_openWindows = 0;

void Note(const std::string& line)
{
    HANDLE file = CreateFileA(g_options.marker.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

bool TakeValue(const char* argument, const char* prefix, std::string& value)
{
    const size_t length = std::strlen(prefix);
    if (std::strncmp(argument, prefix, length) != 0)
        return false;
    value = argument + length;
    return true;
}

Options ParseOptions()
{
    Options options;
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    options.marker = std::string(program) + STANDIN_DEFAULT_MARKER_SUFFIX;
    if (const char* marker = std::getenv(STANDIN_MARKER_VARIABLE))
        options.marker = marker;
    std::string value;
    for (int i = 1; i < __argc; ++i) {
        if (TakeValue(__argv[i], STANDIN_MODE_ARG, value))
            options.mode = value == "ignore" ? Mode::Ignore : value == "ask" ? Mode::Ask : Mode::Close;
        else if (TakeValue(__argv[i], STANDIN_WINDOWS_ARG, value))
            options.windows = std::max(1, std::atoi(value.c_str()));
        else if (TakeValue(__argv[i], STANDIN_LINGER_ARG, value))
            options.lingerMs = static_cast<DWORD>(std::max(0, std::atoi(value.c_str())));
        else if (TakeValue(__argv[i], STANDIN_MARKER_ARG, value))
            options.marker = value;
    }
    return options;
}

DWORD ParentProcessId()
{
    DWORD parent = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return parent;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId())
            parent = entry.th32ParentProcessID;
    }
    CloseHandle(snapshot);
    return parent;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        break;
    case WM_CLOSE:
        Note("close " + std::to_string(GetWindowLongPtrA(window, GWLP_USERDATA)));
        if (g_options.mode == Mode::Close ||
            (g_options.mode == Mode::Ask &&
             MessageBoxA(window, STANDIN_OWN_QUESTION, "Stand-in Outlook", MB_YESNO | MB_ICONQUESTION) == IDYES))
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        if (--g_openWindows == 0)
            PostQuitMessage(static_cast<int>(kStandInOrderlyExit));
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    g_options = ParseOptions();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "VsStandInOutlook";
    RegisterClassA(&windowClass);

    // The windows stay hidden: under Wine on a display without a window manager, destroying a
    // visible window waits two seconds for the unmapping to be confirmed, which only slows the
    // tests; whether a window is visible makes no difference to being asked to close.
    for (int number = 1; number <= g_options.windows; ++number) {
        const std::string title = "Stand-in Outlook " + std::to_string(number);
        HWND window = CreateWindowExA(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                                      40 * number, 40 * number, 320, 200, nullptr, nullptr, instance,
                                      reinterpret_cast<void*>(static_cast<INT_PTR>(number)));
        if (window == nullptr)
            return 1;
        ++g_openWindows;
    }
    Note("started " + std::to_string(GetCurrentProcessId()) + " " + std::to_string(ParentProcessId()));

    MSG message;
    for (;;) {
        const BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == -1)
            return 1;
        if (result == 0)
            break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    Sleep(g_options.lingerMs);
    Note("ended");
    return static_cast<int>(message.wParam);
}
