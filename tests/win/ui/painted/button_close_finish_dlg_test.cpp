// The close-and-start button in a dialog of the tests' template: fitted to its caption in
// the bottom-right corner, whatever the template's font; and the font fallback it relies on.
#include <gtest/gtest.h>

#include "tests/win/ui/painted/button_fixture.h"
#include "ui/painted/button_close_finish_dlg.h"

namespace {

const char kCaption[] = "Close and Start MS Outlook";

using CloseButtonTest = ButtonTest<CButtonCloseFinishDlg>;

// The caption's box as measured in Arial 14 pixels, or the family GDI+ falls back to.
Gdiplus::RectF MeasureCaption(HWND hWnd, const char* caption)
{
    HDC hdc = GetDC(hWnd);
    Gdiplus::RectF bounds;
    {
        Gdiplus::Graphics graphics(hdc);
        auto font = NewFontOrSansSerif(L"Arial", 14.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        const WideText text = ToUtf16(caption);
        graphics.MeasureString(text.data(), -1, font.get(), Gdiplus::PointF(0.0f, 0.0f), &bounds);
    }
    ReleaseDC(hWnd, hdc);
    return bounds;
}

CRect RectInParent(HWND hWnd)
{
    CRect rc;
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(nullptr, GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

TEST_F(CloseButtonTest, FitsTheCaptionWithAMarginInTheBottomRightCorner)
{
    SetWindowPos(dialog.GetDlgItem(IDC_UI_LABEL), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    button().SetWindowText(kCaption);
    button().FitToCaption(kCaption);

    const Gdiplus::RectF text = MeasureCaption(hButton(), kCaption);
    ASSERT_GT(text.Width, 100.0f) << "a real font measured the caption";
    const CRect rc = RectInParent(hButton());
    EXPECT_EQ(static_cast<int>(20 + text.Width), rc.Width());
    EXPECT_EQ(static_cast<int>(20 + text.Height), rc.Height());
    CRect client;
    dialog.GetClientRect(&client);
    EXPECT_NEAR(client.right - 5, rc.right, 1);
    EXPECT_NEAR(client.bottom - 5, rc.bottom, 1);
    EXPECT_EQ(hButton(), GetWindow(dialog.m_hWnd, GW_CHILD)) << "raised above its siblings";

    PumpMessages();
    CRect shapeBox;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(hButton(), region);
    GetRgnBox(region, &shapeBox);
    DeleteObject(region);
    EXPECT_NEAR(rc.Width() - 1, shapeBox.right, 1) << "reshaped at its new size";
}

TEST_F(CloseButtonTest, TheTemplatesFontDoesNotChangeTheSize)
{
    button().FitToCaption(kCaption);
    const CRect fitted = RectInParent(hButton());
    HFONT big = CreateFontA(-40, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    button().SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
    button().FitToCaption(kCaption);
    EXPECT_EQ(fitted, RectInParent(hButton()));
    button().SendMessage(WM_SETFONT, 0, FALSE);
    DeleteObject(big);
}

TEST_F(CloseButtonTest, AnUnmeasurableCaptionGivesTwentyByTwenty)
{
    button().FitToCaption("");
    const CRect rc = RectInParent(hButton());
    EXPECT_EQ(20, rc.Width());
    EXPECT_EQ(20, rc.Height());
    CRect client;
    dialog.GetClientRect(&client);
    EXPECT_EQ(client.right - 5, rc.right);
}

TEST(FontFallback, AFamilyThatCannotBeHadFallsBackToSansSerif)
{
    auto missing = NewFontOrSansSerif(L"No Such Family 4711", 14.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    ASSERT_TRUE(missing->IsAvailable());
    EXPECT_FLOAT_EQ(14.0f, missing->GetSize());
    EXPECT_EQ(Gdiplus::UnitPixel, missing->GetUnit());
    Gdiplus::FontFamily family;
    missing->GetFamily(&family);
    WCHAR name[LF_FACESIZE] = {};
    family.GetFamilyName(name);
    EXPECT_NE(L'\0', name[0]);

    auto arial = NewFontOrSansSerif(L"Arial", 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
    EXPECT_TRUE(arial->IsAvailable()) << "present or replaced";
}

} // namespace
