// A RECT with the width and height every layout step asks for.
#pragma once

#include <windows.h>

class CRect : public RECT {
public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& rc) : RECT(rc) {} // NOLINT: a RECT is a CRect

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const RECT& rc) const { return EqualRect(this, &rc) != FALSE; }
    bool operator!=(const RECT& rc) const { return !(*this == rc); }
};
