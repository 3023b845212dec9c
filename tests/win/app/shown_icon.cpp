#include "tests/win/app/shown_icon.h"

#include "tests/win/support/wait.h"
#include "tests/capture/screen_capture.h"

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

    // The other process paints the box at its new place when it gets to it.
    LPCSTR shown = nullptr;
    WaitUntil(
        [&] {
            RECT rect = {};
            GetWindowRect(icon, &rect);
            const POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
            if (GetAncestor(WindowFromPoint(centre), GA_ROOT) != box)
                return false;
            const auto picture = CaptureScreen(rect);
            shown = StockIconIn(*picture, {0, 0, picture->Width(), picture->Height()});
            return shown != nullptr;
        },
        10000);
    return shown;
}
