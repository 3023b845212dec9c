#include "tests/lab/driver/window_watch.h"

#include "tests/capture/window_text.h"

#include <algorithm>
#include <cctype>

namespace {

std::string WithoutAccelerator(const std::string& caption)
{
    std::string plain;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

bool SameCaption(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string ChildPlace(HWND window, HWND child)
{
    RECT client{}, place{};
    GetClientRect(window, &client);
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    return ClassName(child) + " " + std::to_string(place.left) + "," + std::to_string(place.top) + "," +
           std::to_string(client.right - place.right) + "," + std::to_string(client.bottom - place.bottom);
}

// A real click, through the hit test of whatever window is under the point.
void ClickAt(POINT point)
{
    SetCursorPos(point.x, point.y);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
}

bool IsPushButton(HWND child)
{
    const LONG_PTR type = GetWindowLongPtrA(child, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

} // namespace

std::vector<HWND> VisibleTopLevelWindows(const std::set<DWORD>& processIds)
{
    std::vector<HWND> windows = TopLevelWindowsOf(processIds);
    windows.erase(std::remove_if(windows.begin(), windows.end(), [](HWND window) { return !IsWindowVisible(window); }),
                  windows.end());
    return windows;
}

SeenWindow ReadWindow(HWND window)
{
    SeenWindow seen;
    seen.window = window;
    GetWindowThreadProcessId(window, &seen.processId);
    seen.className = ClassName(window);
    seen.caption = WindowText(window);
    seen.style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    seen.exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    GetWindowRect(window, &seen.area);
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        seen.children += (seen.children.empty() ? "" : " | ") + ChildPlace(window, child);
        const std::string childClass = ClassName(child);
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if (_stricmp(childClass.c_str(), "Button") == 0 && IsPushButton(child)) {
            seen.buttons.push_back(WithoutAccelerator(WindowText(child)));
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                seen.defaultButton = seen.buttons.back();
        } else if (_stricmp(childClass.c_str(), "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
            seen.hasIcon = true;
            GetWindowRect(child, &seen.iconArea);
        } else if (_stricmp(childClass.c_str(), "Static") == 0 || _stricmp(childClass.c_str(), "Edit") == 0) {
            const std::string text = WindowText(child);
            if (!text.empty())
                seen.text += (seen.text.empty() ? "" : " | ") + text;
        }
    }
    return seen;
}

bool AnswerWindow(const SeenWindow& seen, const std::string& answer)
{
    if (SameCaption(answer, "close")) {
        PostMessageA(seen.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return true;
    }
    const std::string click = "click ";
    const bool byMouse = answer.compare(0, click.size(), click) == 0;
    const std::string caption = byMouse ? answer.substr(click.size()) : answer;
    for (HWND child = GetWindow(seen.window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (_stricmp(ClassName(child).c_str(), "Button") != 0 || !SameCaption(WithoutAccelerator(WindowText(child)), caption))
            continue;
        if (byMouse) {
            RECT place{};
            GetWindowRect(child, &place);
            const LONG inset = (place.bottom - place.top) / 4;
            ClickAt({place.right - inset, place.bottom - inset});
            return true;
        }
        // Both the control's identifier and its handle: message boxes look at the first,
        // Windows Installer's dialogs at the second.
        PostMessageA(seen.window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                     reinterpret_cast<LPARAM>(child));
        return true;
    }
    return false;
}

std::string FallbackAnswer(const SeenWindow& seen)
{
    for (const char* preferred : {"Cancel", "No", "Close", "OK"}) {
        for (const std::string& button : seen.buttons) {
            if (SameCaption(button, preferred))
                return button;
        }
    }
    return "close";
}
