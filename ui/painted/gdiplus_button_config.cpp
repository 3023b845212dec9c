// The button's configuration: look, image, glow and tooltip.
#include "ui/painted/gdiplus_button.h"

#include "foundation/com_ref.h"
#include "foundation/resource_bytes.h"
#include "foundation/unique_handle.h"

#include <commctrl.h>

#include <cstring>

void CGdiPlusButton::SetBorderStyle(bool bOuterBorder, int nCornerSize)
{
    m_bOuterBorder = bOuterBorder;
    m_nCornerSize = nCornerSize;
    RedrawIfCreated();
}

void CGdiPlusButton::SetBorder(Gdiplus::ARGB clrBorder, float fWidth)
{
    m_clrBorder = clrBorder;
    m_fBorderWidth = fWidth;
    RedrawIfCreated();
}

void CGdiPlusButton::SetOuterBorder(Gdiplus::ARGB clrOuterBorder, float fWidth)
{
    m_clrOuterBorder = clrOuterBorder;
    m_fOuterBorderWidth = fWidth;
    RedrawIfCreated();
}

void CGdiPlusButton::SetGradient(bool bGradient)
{
    m_bGradient = bGradient;
    RedrawIfCreated();
}

void CGdiPlusButton::SetFlatColours(Gdiplus::ARGB clrNormal, Gdiplus::ARGB clrPressed, Gdiplus::ARGB clrHover)
{
    m_clrNormalTop = clrNormal;
    m_clrPressedTop = clrPressed;
    m_clrHoverTop = clrHover;
    RedrawIfCreated();
}

void CGdiPlusButton::SetGradientColours(Gdiplus::ARGB clrNormalTop, Gdiplus::ARGB clrNormalBottom,
                                        Gdiplus::ARGB clrPressedTop, Gdiplus::ARGB clrPressedBottom,
                                        Gdiplus::ARGB clrHoverTop, Gdiplus::ARGB clrHoverBottom)
{
    m_clrNormalTop = clrNormalTop;
    m_clrNormalBottom = clrNormalBottom;
    m_clrPressedTop = clrPressedTop;
    m_clrPressedBottom = clrPressedBottom;
    m_clrHoverTop = clrHoverTop;
    m_clrHoverBottom = clrHoverBottom;
    RedrawIfCreated();
}

void CGdiPlusButton::SetImage(short nResourceId, LPCSTR lpszResourceType, float fScale, int nAlignment)
{
    if (nResourceId < 0)
        return;
    m_spImage.reset();
    m_spImage = LoadImageFromResource(MAKEINTRESOURCEA(static_cast<WORD>(nResourceId)), lpszResourceType);
    if (!m_spImage)
        return;
    m_fImageScale = fScale;
    m_nImageAlign = nAlignment;
    RedrawIfCreated();
}

void CGdiPlusButton::SetFocusColour(Gdiplus::ARGB clrFocus)
{
    m_clrFocus = clrFocus;
    RedrawIfCreated();
}

void CGdiPlusButton::SetShowFocusCue(bool bShow)
{
    m_bShowFocusCue = bShow;
    RedrawIfCreated();
}

void CGdiPlusButton::SetGlowColour(Gdiplus::ARGB clrGlow)
{
    m_clrGlow = clrGlow;
    if (m_hWnd != nullptr && m_bEnabled) {
        StopGlowTimer();
        if (m_bIsDefault)
            RestartGlowTimer();
    }
}

void CGdiPlusButton::SetPulse(bool bPulse)
{
    m_bPulse = bPulse;
    if (m_hWnd != nullptr)
        RestartGlowTimer();
}

void CGdiPlusButton::SetDpi(UINT nDpi)
{
    m_nDpi = nDpi;
    if (m_hWnd != nullptr)
        OnSize();
}

void CGdiPlusButton::SetTooltip(bool bOn, LPCSTR lpszText, LPCSTR lpszTitle, int nMaxWidth, int nDelayMs)
{
    if (m_tooltip.m_hWnd != nullptr)
        m_tooltip.DestroyWindow();
    if (!bOn || m_hWnd == nullptr)
        return;
    m_tooltip.Create(this, TTS_ALWAYSTIP);
    CRect rc;
    GetClientRect(&rc);
    m_tooltip.AddTool(this, lpszText, &rc, 1);
    m_tooltip.SetDelayTime(TTDT_AUTOMATIC, nDelayMs);
    m_tooltip.SetMaxTipWidth(nMaxWidth);
    m_tooltip.SetTitle(TTI_NONE, lpszTitle);
}

std::shared_ptr<Gdiplus::Bitmap> CGdiPlusButton::LoadImageFromResource(LPCSTR lpszName, LPCSTR lpszType)
{
    const ResourceBytes resource = LoadResourceBytes(lpszName, lpszType);
    const DWORD size = resource.size;
    const void* bytes = resource.bytes;
    if (size == 0 || bytes == nullptr)
        return nullptr;
    UniqueGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE, size));
    void* copy = block ? GlobalLock(block.Get()) : nullptr;
    if (copy == nullptr)
        return nullptr;
    std::memcpy(copy, bytes, size);
    GlobalUnlock(block.Get());
    // The bitmap reads its pixels through the stream for as long as it lives; the stream
    // frees the copy when the last reference to it goes.
    ComRef<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.Get(), TRUE, stream.Put())))
        return nullptr;
    block.Detach();
    std::shared_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream.Get(), FALSE));
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return bitmap;
}
