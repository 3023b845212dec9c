// A dialog that paints its whole client area itself with GDI+: the background (a vertical
// two-colour gradient by default) is rendered off-screen only when the frame is dirty, kept
// as a cached bitmap and blitted on every paint. Children that ask for the parent's picture
// with WM_PRINTCLIENT get the same frame. Derived dialogs change the look in DrawBackground.
// At most one lives at a time: its size notification to the children reads the current one.
// It is drawn at its window's DPI and follows a move to a display of another scale.
#pragma once

#include "framework/dc.h"
#include "framework/dialog.h"
#include "ui/painted/display_scale.h"
#include "ui/painted/gdiplus_support.h"

class CGdiPlusDlg : public CDialog {
public:
    CGdiPlusDlg(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CGdiPlusDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Takes the window's DPI before the derived dialog places anything.
    BOOL OnInitDialog() override;

    // Paints the client area into the device context, rendering the frame first if dirty.
    virtual void DrawDialog(CDC* pDC);
    // Renders the background into the off-screen graphics. nMode: 0 solid, 1 vertical
    // gradient, anything else nothing.
    virtual void DrawBackground(std::shared_ptr<Gdiplus::Graphics> spGraphics, CRect rcClient, int nMode);

    // Marks the frame dirty and repaints the whole window at once, without erasing.
    void Redraw();

    // Each stores its value; only with bRedraw does the change show at once.
    void SetSolidBackground(bool bRedraw = true);
    void SetGradientBackground(bool bRedraw = true);
    void SetBackgroundMode(int nMode, bool bRedraw = true);
    void SetBackgroundColor(Gdiplus::ARGB clr, bool bRedraw = true);
    void SetBackgroundColors(Gdiplus::ARGB clrFrom, Gdiplus::ARGB clrTo, bool bRedraw = true);

    // Outer window geometry in screen coordinates; outputs untouched (or 0) without a window.
    void GetWindowSize(int& cx, int& cy) const;
    void GetWindowOrigin(int& x, int& y) const;
    int GetWindowWidth() const;
    int GetWindowHeight() const;
    int GetWindowLeft() const;
    int GetWindowTop() const;
    void MoveWindowTo(int x, int y);
    // Sizes the window so that its client area is cx by cy.
    void SetClientSize(int cx, int cy);

protected:
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);
    void OnPaint();
    // WM_DPICHANGED: the new DPI, and the window rectangle Windows suggests for it, which the
    // window takes. Derived dialogs place their parts again after calling this.
    virtual void OnDpiChanged(UINT nDpi, const RECT& rcSuggested);

    std::shared_ptr<Gdiplus::CachedBitmap> m_spCachedFrame;
    bool m_bDirty;
    CRect m_rcClient;
    int m_nBackgroundMode;
    Gdiplus::ARGB m_clrBackground;
    Gdiplus::ARGB m_clrBackgroundEnd;
    UINT m_nDpi = kDesignDpi;

private:
    static BOOL CALLBACK PostDialogSizeTo(HWND hWnd, LPARAM lParam);
};
