#include "ui/welcome/page_keys.h"

bool IsPageKey(const MSG& message)
{
    switch (message.message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        break;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        return false;
    default:
        return true;
    }
    const WPARAM key = message.wParam;
    if (key == VK_SHIFT || key == VK_CONTROL)
        return true;
    if (GetKeyState(VK_CONTROL) < 0)
        return key == 'C' || key == VK_INSERT;
    switch (key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_SPACE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return true;
    default:
        return false;
    }
}
