// The finish dialog's one button, "Close and Start MS Outlook": a GDI+ button with an
// anti-aliased Arial 14-pixel caption, corners of 10, a light four-pixel ring around a darker
// border and no focus cue. It sizes itself to its caption and docks in the bottom-right
// corner of its parent.
#pragma once

#include "ui/painted/gdiplus_button.h"

class CButtonCloseFinishDlg : public CGdiPlusButton {
public:
    CButtonCloseFinishDlg();
    ~CButtonCloseFinishDlg() override;

    // Sizes the button to the caption plus the margin and moves it 5 pixels (at 96 DPI) inside
    // the bottom-right corner of the parent's client area, raised above its siblings.
    void FitToCaption(const CStringA& strCaption);

    // The caption in exactly its rectangle, not the base's slightly larger one.
    void DrawCaption(std::shared_ptr<Gdiplus::Graphics> g, const WCHAR* text, Gdiplus::Rect* rc,
                     std::shared_ptr<Gdiplus::Font> font, bool bMeasureOnly) override;
    // Arial 14 pixels (or the generic sans-serif family), whatever the window's own font.
    std::shared_ptr<Gdiplus::Font> GetCaptionFont(std::shared_ptr<Gdiplus::Graphics> g) override;

protected:
    int m_nCaptionMargin;
};
