// The common-controls tooltip window, with what a button's tooltip needs: one tool, its
// delays, width and title, and the relay of the pointer messages it must see.
#pragma once

#include "framework/wnd.h"

class CToolTipCtrl : public CWnd {
public:
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    BOOL AddTool(CWnd* pWnd, LPCSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool);
    void SetDelayTime(DWORD dwDuration, int iTime);
    int SetMaxTipWidth(int iWidth);
    BOOL SetTitle(UINT uIcon, LPCSTR lpszTitle);
    void RelayEvent(LPMSG lpMsg);
};
