// What the setup paints and places is designed in pixels at 96 DPI and drawn at the DPI of the
// window it belongs to, so that it stays crisp at any display scale and is unchanged at 96.
// Windows tells a window its DPI only when the program has declared itself DPI-aware in its
// manifest; for any other program it answers 96 and stretches the window itself.
#pragma once

#include <windows.h>

constexpr UINT kDesignDpi = USER_DEFAULT_SCREEN_DPI;

// The DPI the window is shown at: Windows' own answer where it has one (Windows 10, version
// 1607 on), before that the system's for a DPI-aware process, and 96 for any other.
UINT WindowDpi(HWND window);

// A length designed at 96 DPI, at dpi: rounded to whole pixels, and exactly the length at 96.
int ScaleToDpi(int length, UINT dpi);
float ScaleToDpi(float length, UINT dpi);
