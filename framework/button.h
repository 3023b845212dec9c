// A push button object: created as a standard "BUTTON" window or subclassed from a dialog
// control; what it does not handle goes to the standard button procedure.
#pragma once

#include "framework/wnd.h"

class CButton : public CWnd {
public:
    virtual BOOL Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
};
