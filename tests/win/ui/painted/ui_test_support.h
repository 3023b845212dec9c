// What the ui tests share: GDI+ for the whole run, the canvas helpers, and colour comparison
// with a tolerance per channel.
#pragma once

#include <gtest/gtest.h>

#include "tests/win/ui/painted/ui_canvas.h"
#include "ui/painted/gdiplus_support.h"

// Each channel of actual within tolerance of expected; alpha compared too when withAlpha.
testing::AssertionResult ColourNear(DWORD actual, DWORD expected, int tolerance, bool withAlpha = false);

// The pixel of a GDI+ bitmap as 0xAARRGGBB.
DWORD PixelOf(Gdiplus::Bitmap& bitmap, int x, int y);
