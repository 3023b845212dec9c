// A push button that paints itself entirely with GDI+: a window clipped to a rounded
// rectangle, a vertical gradient (or flat) face chosen by the pointer state, a thin rounded
// border with an optional outer ring, a caption and an optional image, a dotted focus cue and,
// while it is the dialog's default button, a glow rising from its bottom edge. The face is
// rendered off-screen over a copy of the parent's background only when stale and kept as a
// cached bitmap. It handles the mouse itself and posts its click to the parent as
// WM_COMMAND/BN_CLICKED; keys stay with the standard push button underneath. Its lengths are
// given at 96 DPI and drawn at the DPI its dialog gives it.
#pragma once

#include "framework/button.h"
#include "framework/dc.h"
#include "framework/tooltip_ctrl.h"
#include "ui/painted/display_scale.h"
#include "ui/painted/gdiplus_support.h"

class CGdiPlusButton : public CButton {
public:
    enum VisualState { StateNormal = 0, StateHover = 1, StatePressed = 2 };
    enum Alignment { AlignLeft = 0, AlignCentre = 1, AlignRight = 2 };
    static const UINT_PTR kGlowTimerId = 2;
    static const UINT kGlowTimerPeriod = 50;

    CGdiPlusButton();
    ~CGdiPlusButton() override;

    BOOL Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) override;
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Marks the face stale and repaints the whole window at once, without erasing.
    void Redraw();

    // Configuration; those that change the look redraw when the window exists.
    void SetBorderStyle(bool bOuterBorder, int nCornerSize);
    void SetBorder(Gdiplus::ARGB clrBorder, float fWidth);
    void SetOuterBorder(Gdiplus::ARGB clrOuterBorder, float fWidth);
    void SetGradient(bool bGradient);
    void SetFlatColours(Gdiplus::ARGB clrNormal, Gdiplus::ARGB clrPressed, Gdiplus::ARGB clrHover);
    void SetGradientColours(Gdiplus::ARGB clrNormalTop, Gdiplus::ARGB clrNormalBottom, Gdiplus::ARGB clrPressedTop,
                            Gdiplus::ARGB clrPressedBottom, Gdiplus::ARGB clrHoverTop, Gdiplus::ARGB clrHoverBottom);
    // A negative identifier changes nothing; an image that cannot be loaded leaves none.
    void SetImage(short nResourceId, LPCSTR lpszResourceType, float fScale, int nAlignment);
    void SetFocusColour(Gdiplus::ARGB clrFocus);
    void SetShowFocusCue(bool bShow);
    void SetGlowColour(Gdiplus::ARGB clrGlow);
    void SetPulse(bool bPulse);
    void SetTooltip(bool bOn, LPCSTR lpszText, LPCSTR lpszTitle, int nMaxWidth, int nDelayMs);
    // The DPI to draw at (96 until told); the window takes its shape again at once.
    void SetDpi(UINT nDpi);

    // A bitmap of an image resource of the resource module; empty when it cannot be had.
    std::shared_ptr<Gdiplus::Bitmap> LoadImageFromResource(LPCSTR lpszName, LPCSTR lpszType);

    // Extension points, in this order; derived buttons override them one at a time.
    virtual void DrawButton(CDC* pDC);
    virtual void DrawCaption(std::shared_ptr<Gdiplus::Graphics> g, const WCHAR* text, Gdiplus::Rect* rc,
                             std::shared_ptr<Gdiplus::Font> font, bool bMeasureOnly);
    virtual void LayoutCaption(std::shared_ptr<Gdiplus::Graphics> g, const WCHAR* text, Gdiplus::Rect* rc,
                               std::shared_ptr<Gdiplus::Font> font);
    virtual std::shared_ptr<Gdiplus::Font> GetCaptionFont(std::shared_ptr<Gdiplus::Graphics> g);
    virtual void DrawImage(std::shared_ptr<Gdiplus::Graphics> g, std::shared_ptr<Gdiplus::Bitmap> image,
                           Gdiplus::Rect* rc, bool bLayoutOnly);
    virtual void LayoutImage(std::shared_ptr<Gdiplus::Graphics> g, std::shared_ptr<Gdiplus::Bitmap> image,
                             Gdiplus::Rect* rc);
    virtual void DrawContent(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc);
    virtual void FillFlat(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc);
    virtual void FillGradient(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc);
    virtual void DrawBorder(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc);
    virtual void DrawFace(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc);
    virtual void DrawFocusCue(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc);
    virtual void DrawDefaultGlow(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc);

    // Paints the parent's client area behind the button into hdc (WM_PRINTCLIENT to the parent).
    void PaintParentBackground(HDC hdc, const RECT& rcClient);
    // A rounded rectangle whose right and bottom edges lie at x + width - 1 and y + height - 1.
    std::shared_ptr<Gdiplus::GraphicsPath> MakeRoundedRectPath(int x, int y, int width, int height, int nCornerSize);

protected:
    void PreSubclassWindow() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    void OnPaint();
    void OnSize();
    void OnMouseMove(UINT nFlags, POINT point);
    void OnMouseHover(UINT nFlags, POINT point);
    void OnMouseLeave();
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnLButtonUp(UINT nFlags, POINT point);
    void OnLButtonDblClk(UINT nFlags, POINT point);
    void OnTimer(UINT_PTR nIDEvent);
    void OnEnable(BOOL bEnable);

    void RestartGlowTimer();
    void StopGlowTimer();
    // Redraws only when there is a window to draw.
    void RedrawIfCreated();
    // A length given at 96 DPI, at the button's DPI.
    int Scaled(int length) const { return ScaleToDpi(length, m_nDpi); }
    float Scaled(float length) const { return ScaleToDpi(length, m_nDpi); }
    // The corner size and the width are given at 96 DPI.
    void DrawRoundedBorder(std::shared_ptr<Gdiplus::Graphics> g, const Gdiplus::Rect& rc, Gdiplus::ARGB clr,
                           int nCornerSize, float fWidth);
    // The caption as the base draws it, in the given layout rectangle.
    void DrawCaptionIn(std::shared_ptr<Gdiplus::Graphics> g, const WCHAR* text, Gdiplus::Rect* rc,
                       std::shared_ptr<Gdiplus::Font> font, bool bMeasureOnly, const Gdiplus::RectF& layout);

    CToolTipCtrl m_tooltip;
    CRect m_rcClient;
    bool m_bStale = true;
    BOOL m_bTracking = FALSE;
    BOOL m_bHovering = FALSE;
    BOOL m_bArmed = FALSE;
    int m_nState = StateNormal;
    std::shared_ptr<Gdiplus::CachedBitmap> m_spCachedImage;
    CStringA m_strCaption;
    bool m_bShowAccelerators = false;
    float m_fGlowLevel = 0.0f;
    bool m_bGlowFalling = false;
    bool m_bIsDefault = false;
    bool m_bEnabled = true;
    int m_nCornerSize = 5;
    float m_fBorderWidth = 1.0f;
    float m_fOuterBorderWidth = 2.0f;
    Gdiplus::ARGB m_clrText = 0xFFFFFFFF;
    bool m_bOuterBorder = false;
    int m_nTextAlign = AlignCentre;
    Gdiplus::ARGB m_clrBorder = 0xFF262E3B;
    Gdiplus::ARGB m_clrOuterBorder = 0xFFD0D0D0;
    std::shared_ptr<Gdiplus::Bitmap> m_spImage;
    bool m_bGradient = true;
    Gdiplus::ARGB m_clrNormalTop = 0xFF8894A2;
    Gdiplus::ARGB m_clrNormalBottom = 0xFF262E3B;
    Gdiplus::ARGB m_clrPressedTop = 0xFF6A767A;
    Gdiplus::ARGB m_clrPressedBottom = 0xFF3A424F;
    Gdiplus::ARGB m_clrHoverTop = 0xFF8894A2;
    Gdiplus::ARGB m_clrHoverBottom = 0xFF4E5663;
    Gdiplus::ARGB m_clrDisabledText = 0xFF708A90;
    Gdiplus::ARGB m_clrFocus = 0xFFD3D3D3;
    int m_nImageAlign = AlignLeft;
    float m_fImageScale = 1.0f;
    int m_nTextRenderingHint = Gdiplus::TextRenderingHintAntiAliasGridFit;
    Gdiplus::ARGB m_clrGlow = 0xFFFFFFFF;
    bool m_bShowFocusCue = true;
    bool m_bPulse = false;
    UINT m_nDpi = kDesignDpi;

private:
    void FillFace(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc, const Gdiplus::Brush& brush);
    void PostClick();
};
