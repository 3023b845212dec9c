#include "ui/painted/button_close_finish_dlg.h"

CButtonCloseFinishDlg::CButtonCloseFinishDlg() : m_nCaptionMargin(20)
{
    SetBorderStyle(true, 10);
    SetBorder(0xFF4E5A68, 1.0f);
    SetOuterBorder(0xFFD0D0D0, 4.0f);
    m_nTextRenderingHint = Gdiplus::TextRenderingHintAntiAlias;
    SetShowFocusCue(false);
}

CButtonCloseFinishDlg::~CButtonCloseFinishDlg() = default;

void CButtonCloseFinishDlg::DrawCaption(std::shared_ptr<Gdiplus::Graphics> g, const WCHAR* text, Gdiplus::Rect* rc,
                                        std::shared_ptr<Gdiplus::Font> font, bool bMeasureOnly)
{
    const Gdiplus::RectF layout(static_cast<Gdiplus::REAL>(rc->X), static_cast<Gdiplus::REAL>(rc->Y),
                                static_cast<Gdiplus::REAL>(rc->Width), static_cast<Gdiplus::REAL>(rc->Height));
    DrawCaptionIn(g, text, rc, font, bMeasureOnly, layout);
}

std::shared_ptr<Gdiplus::Font> CButtonCloseFinishDlg::GetCaptionFont(std::shared_ptr<Gdiplus::Graphics> /*g*/)
{
    return NewFontOrSansSerif(L"Arial", Scaled(14.0f), Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
}

void CButtonCloseFinishDlg::FitToCaption(const CStringA& strCaption)
{
    CClientDC dc(this);
    std::shared_ptr<Gdiplus::Graphics> graphics(new Gdiplus::Graphics(dc.GetSafeHdc()));
    const WideText text = ToUtf16(strCaption);
    auto font = GetCaptionFont(graphics);
    CRect rc;
    GetClientRect(&rc);
    // Stays all zeros when the text cannot be measured: a 20 x 20 button in the same corner.
    Gdiplus::RectF bounds(0.0f, 0.0f, 0.0f, 0.0f);
    graphics->MeasureString(text.data(), -1, font.get(),
                            Gdiplus::PointF(static_cast<Gdiplus::REAL>(rc.left), static_cast<Gdiplus::REAL>(rc.top)),
                            &bounds);
    CRect rcParent;
    ::GetClientRect(GetParentHwnd(), &rcParent);
    const Gdiplus::REAL margin = static_cast<Gdiplus::REAL>(Scaled(m_nCaptionMargin));
    const int x = static_cast<int>(rcParent.Width() - bounds.Width - margin - Scaled(5));
    const int y = static_cast<int>(rcParent.Height() - bounds.Height - margin - Scaled(5));
    const int cx = static_cast<int>(margin + bounds.Width);
    const int cy = static_cast<int>(margin + bounds.Height);
    SetWindowPos(nullptr, x, y, cx, cy, 0);
}
