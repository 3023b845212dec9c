// How the button draws itself: the face over a copy of the parent's background, rendered
// only when stale, the rounded window shape, and the default of every extension point.
#include "ui/painted/gdiplus_button.h"

#include "foundation/unique_handle.h"

namespace {

// A faded grey for a disabled image: the luminance in every colour channel, half the alpha.
const Gdiplus::ColorMatrix kDisabledImageMatrix = {{
    {0.299f, 0.299f, 0.299f, 0.0f, 0.0f},
    {0.587f, 0.587f, 0.587f, 0.0f, 0.0f},
    {0.114f, 0.114f, 0.114f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 0.5f, 0.0f},
    {0.1f, 0.1f, 0.1f, 0.0f, 1.0f},
}};

Gdiplus::REAL Real(int value)
{
    return static_cast<Gdiplus::REAL>(value);
}

} // namespace

void CGdiPlusButton::DrawButton(CDC* pDC)
{
    Gdiplus::Graphics screen(pDC->GetSafeHdc());
    m_bEnabled = (GetStyle() & WS_DISABLED) == 0;
    if (m_bStale) {
        GetClientRect(&m_rcClient);
        std::shared_ptr<Gdiplus::Bitmap> bitmap(
            new Gdiplus::Bitmap(m_rcClient.Width(), m_rcClient.Height(), PixelFormat32bppARGB));
        std::shared_ptr<Gdiplus::Graphics> graphics(Gdiplus::Graphics::FromImage(bitmap.get()));
        HDC hdc = graphics->GetHDC();
        if (hdc != nullptr) {
            PaintParentBackground(hdc, m_rcClient);
            graphics->ReleaseHDC(hdc);
        }
        graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::Rect rc(m_rcClient.left, m_rcClient.top, m_rcClient.Width(), m_rcClient.Height());
        DrawFace(graphics, &rc);
        m_spCachedImage.reset(new Gdiplus::CachedBitmap(bitmap.get(), &screen));
        m_bStale = false;
    }
    screen.DrawCachedBitmap(m_spCachedImage.get(), 0, 0);
}

void CGdiPlusButton::PaintParentBackground(HDC hdc, const RECT& rcClient)
{
    RECT rcInParent = rcClient;
    MapWindowPoints(m_hWnd, GetParentHwnd(), reinterpret_cast<POINT*>(&rcInParent), 2);
    POINT oldOrigin{0, 0};
    SetWindowOrgEx(hdc, rcInParent.left, rcInParent.top, &oldOrigin);
    const UniqueRegion clip(CreateRectRgnIndirect(&rcClient));
    SelectClipRgn(hdc, clip.Get());
    ::SendMessageA(GetParentHwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hdc), PRF_CLIENT);
    SelectClipRgn(hdc, nullptr);
    SetWindowOrgEx(hdc, oldOrigin.x, oldOrigin.y, nullptr);
}

std::shared_ptr<Gdiplus::GraphicsPath> CGdiPlusButton::MakeRoundedRectPath(int x, int y, int width, int height,
                                                                           int nCornerSize)
{
    std::shared_ptr<Gdiplus::GraphicsPath> path(new Gdiplus::GraphicsPath(Gdiplus::FillModeAlternate));
    int d = nCornerSize;
    if (d > width)
        d = width;
    if (d > height)
        d = height;
    Gdiplus::Rect arc(x, y, d, d);
    path->Reset();
    path->AddArc(arc, 180.0f, 90.0f);
    arc.X += width - d - 1;
    path->AddArc(arc, 270.0f, 90.0f);
    arc.Y += height - d - 1;
    path->AddArc(arc, 0.0f, 90.0f);
    arc.X -= width - d - 1;
    path->AddArc(arc, 90.0f, 90.0f);
    path->CloseFigure();
    return path;
}

void CGdiPlusButton::OnSize()
{
    GetClientRect(&m_rcClient);
    Gdiplus::Graphics graphics(m_hWnd);
    auto path = MakeRoundedRectPath(0, 0, m_rcClient.Width(), m_rcClient.Height(), Scaled(m_nCornerSize));
    Gdiplus::Region region(path.get());
    UniqueRegion windowRegion(region.GetHRGN(&graphics));
    // The window owns the region once it has taken it.
    if (windowRegion && SetWindowRgn(windowRegion.Get(), FALSE))
        windowRegion.Detach();
    Redraw();
}

void CGdiPlusButton::DrawRoundedBorder(std::shared_ptr<Gdiplus::Graphics> g, const Gdiplus::Rect& rc,
                                       Gdiplus::ARGB clr, int nCornerSize, float fWidth)
{
    auto path = MakeRoundedRectPath(rc.X, rc.Y, rc.Width, rc.Height, Scaled(nCornerSize));
    Gdiplus::Pen pen(Gdiplus::Color(clr), Scaled(fWidth));
    pen.SetAlignment(Gdiplus::PenAlignmentCenter);
    g->SetPageUnit(Gdiplus::UnitPixel);
    g->DrawPath(&pen, path.get());
}

void CGdiPlusButton::DrawFace(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc)
{
    Gdiplus::Rect inner = *rc;
    DrawBorder(g, &inner);
    if (m_bGradient)
        FillGradient(g, &inner);
    else
        FillFlat(g, &inner);
    DrawContent(g, rc);
}

void CGdiPlusButton::DrawBorder(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc)
{
    if (m_bOuterBorder) {
        rc->Inflate(-Scaled(2), -Scaled(2));
        DrawRoundedBorder(g, *rc, m_clrOuterBorder, m_nCornerSize, m_fOuterBorderWidth);
    }
    rc->Inflate(-Scaled(1), -Scaled(1));
    DrawRoundedBorder(g, *rc, m_clrBorder, m_nCornerSize, m_fBorderWidth);
}

void CGdiPlusButton::FillGradient(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc)
{
    Gdiplus::ARGB top = m_clrNormalTop, bottom = m_clrNormalBottom;
    if (m_nState == StateHover) {
        top = m_clrHoverTop;
        bottom = m_clrHoverBottom;
    } else if (m_nState == StatePressed) {
        top = m_clrPressedTop;
        bottom = m_clrPressedBottom;
    }
    Gdiplus::LinearGradientBrush brush(*rc, Gdiplus::Color(top), Gdiplus::Color(bottom),
                                       Gdiplus::LinearGradientModeVertical);
    // Tiled, but mirrored: a row that rounding puts just outside the rectangle (the first one, in
    // the 32-bit build) takes the nearer colour, not the far end's.
    brush.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    FillFace(g, rc, brush);
}

void CGdiPlusButton::FillFlat(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc)
{
    Gdiplus::ARGB top = m_clrNormalTop;
    if (m_nState == StateHover)
        top = m_clrHoverTop;
    else if (m_nState == StatePressed)
        top = m_clrPressedTop;
    Gdiplus::SolidBrush brush{Gdiplus::Color(top)};
    FillFace(g, rc, brush);
}

// The face inside the rounded outline, then the focus cue and the default glow inside it too.
void CGdiPlusButton::FillFace(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc, const Gdiplus::Brush& brush)
{
    auto path = MakeRoundedRectPath(rc->X, rc->Y, rc->Width, rc->Height, Scaled(m_nCornerSize));
    g->SetClip(path.get(), Gdiplus::CombineModeReplace);
    g->FillPath(&brush, path.get());
    if (::GetFocus() == m_hWnd && m_hWnd != nullptr)
        DrawFocusCue(g, rc);
    if (m_bIsDefault && m_nState == StateNormal)
        DrawDefaultGlow(g, rc);
    g->ResetClip();
}

void CGdiPlusButton::DrawFocusCue(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc)
{
    if (!m_bEnabled || !m_bShowFocusCue)
        return;
    Gdiplus::Pen pen(Gdiplus::Color(m_clrFocus), Scaled(1.0f));
    pen.SetDashStyle(Gdiplus::DashStyleDot);
    const Gdiplus::SmoothingMode previous = g->GetSmoothingMode();
    g->SetSmoothingMode(Gdiplus::SmoothingModeNone);
    g->DrawRectangle(&pen, rc->X + Scaled(1), rc->Y + Scaled(1), rc->Width - Scaled(3), rc->Height - Scaled(3));
    g->SetSmoothingMode(previous);
}

void CGdiPlusButton::DrawDefaultGlow(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc)
{
    const Gdiplus::Color glow(m_clrGlow);
    const BYTE alpha = static_cast<BYTE>(static_cast<int>(glow.GetA() * m_fGlowLevel) & 0xFF);
    Gdiplus::LinearGradientBrush brush(*rc, Gdiplus::Color(0, glow.GetR(), glow.GetG(), glow.GetB()),
                                       Gdiplus::Color(alpha, glow.GetR(), glow.GetG(), glow.GetB()),
                                       Gdiplus::LinearGradientModeVertical);
    brush.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
    g->FillRectangle(&brush, *rc);
}

void CGdiPlusButton::DrawContent(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc)
{
    if (m_strCaption.IsEmpty())
        GetWindowText(m_strCaption);
    const WideText text = ToUtf16(m_strCaption);
    if (m_spImage && !m_strCaption.IsEmpty()) {
        Gdiplus::Rect rcImage = *rc, rcText = *rc;
        auto font = GetCaptionFont(g);
        DrawCaption(g, text.data(), &rcText, font, true);
        DrawImage(g, m_spImage, &rcImage, true);
        // The caption steps aside for an image at either end, 5 pixels clear of it.
        if (m_nImageAlign == AlignLeft && rcImage.Width > rcText.X)
            rcText.X = rcImage.Width + Scaled(5);
        else if (m_nImageAlign == AlignRight && rcText.X + rcText.Width > rcImage.X)
            rcText.X = rcImage.X - Scaled(5) - rcText.Width;
        DrawImage(g, m_spImage, &rcImage, false);
        DrawCaption(g, text.data(), &rcText, font, false);
        return;
    }
    if (!m_strCaption.IsEmpty())
        DrawCaption(g, text.data(), rc, GetCaptionFont(g), false);
    if (m_spImage) {
        Gdiplus::Rect rcImage = *rc;
        DrawImage(g, m_spImage, &rcImage, true);
        DrawImage(g, m_spImage, &rcImage, false);
    }
}

void CGdiPlusButton::LayoutCaption(std::shared_ptr<Gdiplus::Graphics> g, const WCHAR* text, Gdiplus::Rect* rc,
                                   std::shared_ptr<Gdiplus::Font> font)
{
    Gdiplus::RectF bounds;
    g->MeasureString(text, -1, font.get(), Gdiplus::PointF(Real(rc->X), Real(rc->Y)), &bounds);
    const int y = static_cast<int>(rc->Height / 2 - bounds.Height / 2);
    int x = 0;
    switch (m_nTextAlign) {
    case AlignLeft:
        x = rc->X + Scaled(5);
        break;
    case AlignCentre:
        x = static_cast<int>(rc->Width / 2 - bounds.Width / 2);
        break;
    case AlignRight:
        x = static_cast<int>(rc->Width - bounds.Width - Scaled(5));
        break;
    default:
        break;
    }
    *rc = Gdiplus::Rect(x, y, static_cast<int>(bounds.Width), static_cast<int>(bounds.Height));
}

void CGdiPlusButton::DrawCaption(std::shared_ptr<Gdiplus::Graphics> g, const WCHAR* text, Gdiplus::Rect* rc,
                                 std::shared_ptr<Gdiplus::Font> font, bool bMeasureOnly)
{
    const Gdiplus::RectF layout(Real(rc->X), Real(rc->Y), Real(rc->Width + Scaled(1)), Real(rc->Height + Scaled(2)));
    DrawCaptionIn(g, text, rc, font, bMeasureOnly, layout);
}

void CGdiPlusButton::DrawCaptionIn(std::shared_ptr<Gdiplus::Graphics> g, const WCHAR* text, Gdiplus::Rect* rc,
                                   std::shared_ptr<Gdiplus::Font> font, bool bMeasureOnly,
                                   const Gdiplus::RectF& layout)
{
    Gdiplus::StringFormat format(0, LANG_NEUTRAL);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetHotkeyPrefix(m_bShowAccelerators ? Gdiplus::HotkeyPrefixShow : Gdiplus::HotkeyPrefixHide);
    format.SetTrimming(Gdiplus::StringTrimmingWord);
    Gdiplus::SolidBrush brush{Gdiplus::Color(m_bEnabled ? m_clrText : m_clrDisabledText)};
    g->SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(m_nTextRenderingHint));
    if (bMeasureOnly)
        LayoutCaption(g, text, rc, font);
    else
        g->DrawString(text, -1, font.get(), layout, &format, &brush);
}

std::shared_ptr<Gdiplus::Font> CGdiPlusButton::GetCaptionFont(std::shared_ptr<Gdiplus::Graphics> g)
{
    HDC hdc = g->GetHDC();
    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (hFont == nullptr)
        hFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    std::shared_ptr<Gdiplus::Font> font;
    if (hFont != nullptr) // from its LOGFONTA, or from the device context when it yields none
        font.reset(new Gdiplus::Font(hdc, hFont));
    else
        font = NewFontOrSansSerif(L"Arial", 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    g->ReleaseHDC(hdc);
    return font;
}

void CGdiPlusButton::LayoutImage(std::shared_ptr<Gdiplus::Graphics> /*g*/, std::shared_ptr<Gdiplus::Bitmap> image,
                                 Gdiplus::Rect* rc)
{
    const int w = static_cast<int>(image->GetWidth() * Scaled(m_fImageScale));
    const int h = static_cast<int>(image->GetHeight() * Scaled(m_fImageScale));
    const int y = rc->Height / 2 - h / 2;
    int x = 0;
    switch (m_nImageAlign) {
    case AlignLeft:
        x = rc->X + Scaled(5);
        break;
    case AlignCentre:
        x = rc->Width / 2 - w / 2;
        break;
    case AlignRight:
        x = rc->Width - w - Scaled(5);
        break;
    default:
        break;
    }
    *rc = Gdiplus::Rect(x, y, w, h);
}

void CGdiPlusButton::DrawImage(std::shared_ptr<Gdiplus::Graphics> g, std::shared_ptr<Gdiplus::Bitmap> image,
                               Gdiplus::Rect* rc, bool bLayoutOnly)
{
    if (bLayoutOnly) {
        LayoutImage(g, image, rc);
        return;
    }
    if (m_bEnabled) {
        g->DrawImage(image.get(), *rc);
        return;
    }
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&kDisabledImageMatrix, Gdiplus::ColorMatrixFlagsDefault, Gdiplus::ColorAdjustTypeBitmap);
    // The whole picture, scaled like the enabled one, only greyed.
    g->DrawImage(image.get(), *rc, 0, 0, static_cast<INT>(image->GetWidth()), static_cast<INT>(image->GetHeight()),
                 Gdiplus::UnitPixel, &attributes);
}
