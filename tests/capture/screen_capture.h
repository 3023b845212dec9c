// Pictures of what a person sees, for the tests and the lab: a copy of the screen or of a
// window's client area, saved as PNG through GDI+, and the stock icon drawn in it, found by
// comparing pixels (icon handles of another process mean nothing in this one).
#pragma once

#include "tests/capture/dib_canvas.h"

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <memory>
#include <string>

// What the screen shows in that rectangle (screen coordinates).
std::unique_ptr<DibCanvas> CaptureScreen(const RECT& area);
// What the window shows in its client area, read through its own device context.
std::unique_ptr<DibCanvas> CaptureClientArea(HWND window);

// The class identifier of GDI+'s PNG encoder; false when GDI+ is not started or has none.
bool FindPngEncoder(CLSID& encoder);
// False when there is no PNG encoder or the file cannot be written.
bool SavePng(Gdiplus::Image& image, const std::string& path);
bool SavePng(const DibCanvas& picture, const std::string& path);

// IDI_ERROR, IDI_QUESTION, IDI_EXCLAMATION or IDI_INFORMATION when the picture shows that
// stock icon in area (picture coordinates); null when it shows none of them.
LPCSTR StockIconIn(const DibCanvas& picture, const RECT& area);
