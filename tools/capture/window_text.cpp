#include "tools/capture/window_text.h"

std::string WindowText(HWND window)
{
    char buffer[8192] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

std::string ClassName(HWND window)
{
    char buffer[256] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}
