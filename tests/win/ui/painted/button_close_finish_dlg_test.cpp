// The close-and-start button in a dialog of the tests' template: fitted to its caption in
// the bottom-right corner, whatever the template's font; and the font fallback it relies on.
#include <gtest/gtest.h>

#include "tests/win/ui/painted/button_fixture.h"
#include "ui/painted/button_close_finish_dlg.h"

#include <algorithm>
#include <string>

namespace {

const char kCaption[] = "Close and Start MS Outlook";

using CloseButtonTest = ButtonTest<Probe<CButtonCloseFinishDlg>>;

CRect RectInParent(HWND hWnd)
{
    CRect rc;
    GetWindowRect(hWnd, &rc);
    MapWindowPoints(nullptr, GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// The box around the bright pixels of a picture, right and bottom exclusive.
CRect BrightBox(const DibCanvas& canvas)
{
    CRect box(canvas.Width(), canvas.Height(), 0, 0);
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x) {
            const DWORD rgb = canvas.Rgb(x, y);
            if ((rgb >> 16) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF) > 3 * 128)
                box = CRect(std::min<int>(box.left, x), std::min<int>(box.top, y), std::max<int>(box.right, x + 1),
                            std::max<int>(box.bottom, y + 1));
        }
    return box;
}

// Wherever the font and its measure put it, the caption is drawn whole, about ten pixels clear
// of every edge, in a button docked in the corner.
TEST_F(CloseButtonTest, FitsTheCaptionWithAMarginInTheBottomRightCorner)
{
    SetWindowPos(dialog.GetDlgItem(IDC_UI_LABEL), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // Dark all over, so that only the caption is bright.
    dialog.SetSolidBackground(false);
    dialog.SetBackgroundColor(0xFF000000, false);
    button().SetOuterBorder(0xFF000000, 4.0f);
    button().SetBorder(0xFF000000, 1.0f);
    button().SetGradient(false);
    button().SetFlatColours(0xFF000000, 0xFF000000, 0xFF000000);
    button().SetWindowText(kCaption);
    button().FitToCaption(kCaption);

    const CRect rc = RectInParent(hButton());
    const CRect ink = BrightBox(*button().Render(0));
    ASSERT_GT(ink.Width(), 100) << "a real font drew the caption";
    EXPECT_EQ(std::wstring(L"Close and Start MS Outlook"), button().drawnCaption) << "whole";
    for (int margin : {ink.left, rc.Width() - ink.right, ink.top, rc.Height() - ink.bottom})
        EXPECT_TRUE(margin >= 8 && margin <= 16) << "a margin of " << margin << " in " << rc.Width() << "x"
                                                 << rc.Height() << " around " << ink.Width() << "x" << ink.Height();
    EXPECT_NEAR(ink.left, rc.Width() - ink.right, 2) << "centred";
    EXPECT_NEAR(ink.top, rc.Height() - ink.bottom, 3);
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
