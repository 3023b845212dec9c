// The button's messages: its pointer states, the glow timer and what it tells its parent.
#include "ui/painted/gdiplus_button.h"

namespace {

const UINT kRedrawFlags = RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW;

POINT PointOf(LPARAM lParam)
{
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

} // namespace

CGdiPlusButton::CGdiPlusButton() = default;

// The members go in reverse order of declaration: the image, the caption, the cached image,
// then the tooltip control.
CGdiPlusButton::~CGdiPlusButton() = default;

void CGdiPlusButton::PreSubclassWindow()
{
    // The window shape is made as soon as the subclassing is done.
    PostMessage(WM_SIZE, 0, 0);
    if (m_strCaption.IsEmpty())
        GetWindowText(m_strCaption);
    CButton::PreSubclassWindow();
}

BOOL CGdiPlusButton::Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    const BOOL created = CButton::Create(lpszCaption, dwStyle, rect, pParentWnd, nID);
    if ((dwStyle & BS_DEFPUSHBUTTON) != 0)
        SetFocus();
    if (m_strCaption.IsEmpty())
        m_strCaption = lpszCaption;
    return created;
}

BOOL CGdiPlusButton::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                              const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    const BOOL created = CButton::CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID,
                                           lpParam);
    if ((dwStyle & BS_DEFPUSHBUTTON) != 0 && ::GetFocus() != m_hWnd)
        SetFocus();
    if (m_strCaption.IsEmpty())
        m_strCaption = lpszWindowName;
    return created;
}

BOOL CGdiPlusButton::PreTranslateMessage(MSG* pMsg)
{
    if (m_tooltip.m_hWnd != nullptr)
        m_tooltip.RelayEvent(pMsg);
    return CButton::PreTranslateMessage(pMsg);
}

void CGdiPlusButton::Redraw()
{
    m_bStale = true;
    RedrawWindow(nullptr, nullptr, kRedrawFlags);
}

void CGdiPlusButton::RedrawIfCreated()
{
    if (m_hWnd != nullptr)
        Redraw();
}

bool CGdiPlusButton::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    *pResult = 0;
    switch (message) {
    case WM_PAINT:
        OnPaint();
        return true;
    case WM_SIZE:
        OnSize(); // the parameters may be the dialog's size: the button reads its own
        return true;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        return true;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
        return true;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return true;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), PointOf(lParam));
        return true;
    case WM_MOUSEHOVER:
        OnMouseHover(static_cast<UINT>(wParam), PointOf(lParam));
        return true;
    case WM_ERASEBKGND:
        *pResult = TRUE;
        return true;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam));
        return true;
    case WM_UPDATEUISTATE:
        if (LOWORD(wParam) == UIS_CLEAR && HIWORD(wParam) == (UISF_HIDEFOCUS | UISF_HIDEACCEL))
            m_bShowAccelerators = true;
        Redraw();
        return true;
    case WM_SETTEXT:
        m_strCaption = reinterpret_cast<LPCSTR>(lParam);
        // The standard control may paint its own face while it takes the text: ours goes over it.
        *pResult = Default();
        Redraw();
        return true;
    case WM_SETFOCUS:
        *pResult = Default();
        Redraw();
        if (m_bEnabled)
            RestartGlowTimer();
        return true;
    case WM_KILLFOCUS:
        *pResult = Default();
        if (!m_bPulse)
            RestartGlowTimer();
        Redraw();
        return true;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return true;
    case BM_SETSTYLE:
        // Only the default glow follows the style; the window's own style bits stay.
        m_bIsDefault = (wParam & BS_DEFPUSHBUTTON) != 0;
        if (LOWORD(lParam) != 0)
            Redraw();
        return true;
    case WM_GETDLGCODE:
        *pResult = DLGC_BUTTON | (m_bIsDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        return true;
    case WM_ENABLE:
        OnEnable(static_cast<BOOL>(wParam));
        return true;
    default: // WM_KEYDOWN, WM_HOTKEY and the rest: the standard push button
        return CButton::OnWndMsg(message, wParam, lParam, pResult);
    }
}

void CGdiPlusButton::OnPaint()
{
    CPaintDC dc(this);
    DrawButton(&dc);
}

void CGdiPlusButton::OnMouseMove(UINT /*nFlags*/, POINT /*point*/)
{
    if (!m_bTracking) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, 1};
        m_bTracking = TrackMouseEvent(&tme);
    }
    if (!m_bHovering) {
        m_bHovering = TRUE;
        if (m_bEnabled) {
            m_nState = StateHover;
            Redraw();
        }
    }
}

void CGdiPlusButton::OnMouseHover(UINT /*nFlags*/, POINT point)
{
    m_bHovering = TRUE;
    if (PtInRect(&m_rcClient, point) && m_bEnabled) {
        StopGlowTimer();
        m_fGlowLevel = 0.0f;
    }
    Redraw();
}

void CGdiPlusButton::OnMouseLeave()
{
    m_bHovering = FALSE;
    m_bTracking = FALSE;
    m_bArmed = FALSE;
    if (m_bEnabled) {
        m_nState = StateNormal;
        RestartGlowTimer();
        Redraw();
    }
}

void CGdiPlusButton::OnLButtonDown(UINT /*nFlags*/, POINT point)
{
    if (!m_bEnabled)
        return;
    if (PtInRect(&m_rcClient, point)) {
        m_bArmed = TRUE;
        m_nState = StatePressed;
        StopGlowTimer();
        SetFocus();
    }
    Redraw();
}

void CGdiPlusButton::OnLButtonUp(UINT /*nFlags*/, POINT point)
{
    if (!m_bEnabled || !m_bArmed)
        return;
    m_bArmed = FALSE;
    if (PtInRect(&m_rcClient, point)) {
        m_nState = StateHover;
        PostClick();
    } else {
        m_nState = StateNormal;
        RestartGlowTimer();
    }
    Redraw();
}

// The second press of a double click arrives as WM_LBUTTONDBLCLK: it is a click of its own.
void CGdiPlusButton::OnLButtonDblClk(UINT nFlags, POINT point)
{
    OnLButtonDown(nFlags, point);
    OnLButtonUp(nFlags, point);
}

void CGdiPlusButton::PostClick()
{
    const WORD id = static_cast<WORD>(GetWindowLongA(m_hWnd, GWL_ID) & 0xFFFF);
    ::PostMessageA(GetParentHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(m_hWnd));
}

void CGdiPlusButton::OnEnable(BOOL bEnable)
{
    m_bEnabled = bEnable != FALSE;
    if (!m_bEnabled)
        m_nState = StateNormal;
    Redraw();
}

void CGdiPlusButton::RestartGlowTimer()
{
    KillTimer(kGlowTimerId);
    SetTimer(kGlowTimerId, kGlowTimerPeriod);
}

void CGdiPlusButton::StopGlowTimer()
{
    KillTimer(kGlowTimerId);
}

// Without pulse one tick settles the glow at 0.26 and stops; with pulse the level climbs to
// 0.5 and falls back to 0 in steps of 0.01 for as long as the timer runs.
void CGdiPlusButton::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != kGlowTimerId)
        return;
    if (!m_bPulse) {
        KillTimer(kGlowTimerId);
        m_fGlowLevel = 0.25f;
        Redraw();
    }
    if (m_fGlowLevel < 0.5f && !m_bGlowFalling) {
        m_fGlowLevel += 0.01f;
        if (m_fGlowLevel >= 0.5f)
            m_fGlowLevel = 0.5f;
    } else {
        m_fGlowLevel -= 0.01f;
        m_bGlowFalling = true;
        if (m_fGlowLevel <= 0.0f) {
            m_fGlowLevel = 0.0f;
            m_bGlowFalling = false;
        }
    }
    Redraw();
}
