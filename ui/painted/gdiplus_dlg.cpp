#include "ui/painted/gdiplus_dlg.h"

#include "framework/platform_boundary.h"

namespace {

// The one current dialog; the size notification reads its client rectangle.
CGdiPlusDlg* g_pCurrentDialog = nullptr;

const UINT kRedrawFlags = RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW;

} // namespace

CGdiPlusDlg::CGdiPlusDlg(UINT nIDTemplate, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd),
      m_bDirty(true),
      m_nBackgroundMode(1),
      m_clrBackground(0xFFFAFAFA),
      m_clrBackgroundEnd(0xFFD9D9D9)
{
    g_pCurrentDialog = this;
}

CGdiPlusDlg::~CGdiPlusDlg()
{
    m_spCachedFrame.reset();
    // Never leave the pointer dangling for a size notification of a later dialog.
    if (g_pCurrentDialog == this)
        g_pCurrentDialog = nullptr;
}

LRESULT CGdiPlusDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PRINTCLIENT) {
        CDC dc(reinterpret_cast<HDC>(wParam));
        DrawDialog(&dc);
    }
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CGdiPlusDlg::OnInitDialog()
{
    m_nDpi = WindowDpi(m_hWnd);
    return CDialog::OnInitDialog();
}

bool CGdiPlusDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_ERASEBKGND: {
        CDC dc(reinterpret_cast<HDC>(wParam));
        *pResult = OnEraseBkgnd(&dc);
        return true;
    }
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        *pResult = 0;
        return true;
    case WM_PAINT:
        OnPaint();
        *pResult = 0;
        return true;
    case WM_DPICHANGED:
        // Windows' dialog manager may rescale a per-monitor (v2) dialog by its template first;
        // the suggested rectangle and our own placing then win.
        Default();
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        *pResult = 0;
        return true;
    default:
        return CDialog::OnWndMsg(message, wParam, lParam, pResult);
    }
}

BOOL CGdiPlusDlg::OnEraseBkgnd(CDC* /*pDC*/)
{
    return TRUE;
}

void CGdiPlusDlg::OnPaint()
{
    CPaintDC dc(this);
    DrawDialog(&dc);
}

void CGdiPlusDlg::OnSize(UINT /*nType*/, int /*cx*/, int /*cy*/)
{
    GetClientRect(&m_rcClient);
    EnumChildWindows(m_hWnd, PostDialogSizeTo, 0);
    Redraw();
}

// Every descendant is told the dialog's client size, not its own.
BOOL CALLBACK CGdiPlusDlg::PostDialogSizeTo(HWND hWnd, LPARAM /*lParam*/)
{
    return CallFromPlatform(FALSE, [hWnd] {
        if (hWnd != nullptr && IsWindow(hWnd) && g_pCurrentDialog != nullptr) {
            const CRect& rc = g_pCurrentDialog->m_rcClient;
            ::PostMessageA(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.Width() & 0xFFFF, rc.Height() & 0xFFFF));
        }
        return TRUE;
    });
}

void CGdiPlusDlg::OnDpiChanged(UINT nDpi, const RECT& rcSuggested)
{
    m_nDpi = nDpi;
    SetWindowPos(nullptr, rcSuggested.left, rcSuggested.top, rcSuggested.right - rcSuggested.left,
                 rcSuggested.bottom - rcSuggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CGdiPlusDlg::Redraw()
{
    m_bDirty = true;
    RedrawWindow(nullptr, nullptr, kRedrawFlags);
}

void CGdiPlusDlg::DrawDialog(CDC* pDC)
{
    Gdiplus::Graphics graphics(pDC->GetSafeHdc());
    if (m_bDirty) {
        CRect rcClient;
        GetClientRect(&rcClient);
        std::shared_ptr<Gdiplus::Bitmap> spBitmap(
            new Gdiplus::Bitmap(rcClient.Width(), rcClient.Height(), PixelFormat32bppARGB));
        std::shared_ptr<Gdiplus::Graphics> spOffscreen(Gdiplus::Graphics::FromImage(spBitmap.get()));
        DrawBackground(spOffscreen, rcClient, m_nBackgroundMode);
        m_spCachedFrame.reset(new Gdiplus::CachedBitmap(spBitmap.get(), &graphics));
        m_bDirty = false;
        spOffscreen.reset();
        spBitmap.reset();
    }
    graphics.DrawCachedBitmap(m_spCachedFrame.get(), 0, 0);
}

void CGdiPlusDlg::DrawBackground(std::shared_ptr<Gdiplus::Graphics> spGraphics, CRect rcClient, int nMode)
{
    const Gdiplus::RectF area(0.0f, 0.0f, static_cast<Gdiplus::REAL>(rcClient.Width()),
                              static_cast<Gdiplus::REAL>(rcClient.Height()));
    if (nMode == 0) {
        Gdiplus::SolidBrush brush{Gdiplus::Color(m_clrBackground)};
        spGraphics->FillRectangle(&brush, area);
    } else if (nMode == 1) {
        Gdiplus::LinearGradientBrush brush(area, Gdiplus::Color(m_clrBackground), Gdiplus::Color(m_clrBackgroundEnd),
                                           Gdiplus::LinearGradientModeVertical);
        spGraphics->FillRectangle(&brush, area);
    }
}

void CGdiPlusDlg::SetSolidBackground(bool bRedraw)
{
    SetBackgroundMode(0, bRedraw);
}

void CGdiPlusDlg::SetGradientBackground(bool bRedraw)
{
    SetBackgroundMode(1, bRedraw);
}

void CGdiPlusDlg::SetBackgroundMode(int nMode, bool bRedraw)
{
    m_nBackgroundMode = nMode;
    if (bRedraw)
        Redraw();
}

void CGdiPlusDlg::SetBackgroundColor(Gdiplus::ARGB clr, bool bRedraw)
{
    m_clrBackground = clr;
    if (bRedraw)
        Redraw();
}

void CGdiPlusDlg::SetBackgroundColors(Gdiplus::ARGB clrFrom, Gdiplus::ARGB clrTo, bool bRedraw)
{
    m_clrBackground = clrFrom;
    m_clrBackgroundEnd = clrTo;
    if (bRedraw)
        Redraw();
}

void CGdiPlusDlg::GetWindowSize(int& cx, int& cy) const
{
    if (m_hWnd == nullptr)
        return;
    CRect rc;
    GetWindowRect(&rc);
    cx = rc.Width();
    cy = rc.Height();
}

void CGdiPlusDlg::GetWindowOrigin(int& x, int& y) const
{
    if (m_hWnd == nullptr)
        return;
    CRect rc;
    GetWindowRect(&rc);
    x = rc.left;
    y = rc.top;
}

int CGdiPlusDlg::GetWindowWidth() const
{
    int cx = 0, cy = 0;
    GetWindowSize(cx, cy);
    return cx;
}

int CGdiPlusDlg::GetWindowHeight() const
{
    int cx = 0, cy = 0;
    GetWindowSize(cx, cy);
    return cy;
}

int CGdiPlusDlg::GetWindowLeft() const
{
    int x = 0, y = 0;
    GetWindowOrigin(x, y);
    return x;
}

int CGdiPlusDlg::GetWindowTop() const
{
    int x = 0, y = 0;
    GetWindowOrigin(x, y);
    return y;
}

void CGdiPlusDlg::MoveWindowTo(int x, int y)
{
    MoveWindow(x, y, GetWindowWidth(), GetWindowHeight(), TRUE);
}

void CGdiPlusDlg::SetClientSize(int cx, int cy)
{
    CRect rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    const int extraWidth = rcWindow.Width() - rcClient.right;
    const int extraHeight = rcWindow.Height() - rcClient.bottom;
    SetWindowPos(HWND_TOP, 0, 0, cx + extraWidth, cy + extraHeight, SWP_NOMOVE);
}
