// A picture a person can look at: the tests' dialog with the close-and-start button in each
// of its visual states, taken from the screen and kept under the artifacts folder as a PNG.
#include <gtest/gtest.h>

#include "tests/win/support/temp_dir.h"
#include "tests/win/ui/painted/button_fixture.h"
#include "tests/capture/screen_capture.h"
#include "ui/painted/button_close_finish_dlg.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {

const char kCaption[] = "Close and Start MS Outlook";

struct VisualState {
    const char* name;
    std::function<void(CButtonCloseFinishDlg&)> apply;
};

TEST(ButtonScreenshot, EveryVisualStateOfTheCloseButtonIsKeptAsAPicture)
{
    ButtonDialog<CButtonCloseFinishDlg> dialog;
    ASSERT_TRUE(dialog.Create(IDD_UI_TEST));
    dialog.ShowWindow(SW_SHOWNA);
    UpdateWindow(dialog.m_hWnd);
    PumpMessages();
    CButtonCloseFinishDlg& button = dialog.button;
    button.SetWindowText(kCaption);
    button.FitToCaption(kCaption);
    PumpMessages();
    SetFocus(nullptr);
    CRect rcButton;
    GetWindowRect(button.m_hWnd, &rcButton);
    MapWindowPoints(nullptr, dialog.m_hWnd, reinterpret_cast<POINT*>(&rcButton), 2);
    const LPARAM inside = MAKELPARAM(rcButton.Width() / 2, rcButton.Height() / 2);

    // Each state is reached by the messages that reach it in use; nothing is pumped in
    // between, so that no leave notice of the absent pointer undoes a hover.
    const std::vector<VisualState> states = {
        {"normal", [](CButtonCloseFinishDlg&) {}},
        {"default, glow settled",
         [](CButtonCloseFinishDlg& b) {
             b.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
             b.SendMessage(WM_TIMER, CGdiPlusButton::kGlowTimerId);
         }},
        {"default, pulse at its height",
         [](CButtonCloseFinishDlg& b) {
             b.SetPulse(true);
             for (int tick = 0; tick < 51; ++tick)
                 b.SendMessage(WM_TIMER, CGdiPlusButton::kGlowTimerId);
         }},
        {"hover", [inside](CButtonCloseFinishDlg& b) { b.SendMessage(WM_MOUSEMOVE, 0, inside); }},
        {"pressed", [inside](CButtonCloseFinishDlg& b) { b.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, inside); }},
        {"disabled",
         [](CButtonCloseFinishDlg& b) {
             b.SendMessage(WM_MOUSELEAVE);
             b.EnableWindow(FALSE);
         }},
    };
    std::vector<std::unique_ptr<DibCanvas>> captures;
    for (const VisualState& state : states) {
        state.apply(button);
        captures.push_back(CaptureClientArea(dialog.m_hWnd));
    }
    KillTimer(button.m_hWnd, CGdiPlusButton::kGlowTimerId);

    // Emptied, the caption is gone from the screen: the face is painted after the new text is set.
    button.EnableWindow(TRUE);
    button.SetWindowText("");
    auto emptied = CaptureClientArea(dialog.m_hWnd);
    int brightest = 0;
    for (int y = rcButton.top + 6; y < rcButton.bottom - 6; ++y)
        for (int x = rcButton.left + 6; x < rcButton.right - 6; ++x) {
            const DWORD rgb = emptied->Rgb(x, y);
            brightest = std::max(brightest, static_cast<int>((rgb >> 16) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF)));
        }
    EXPECT_LT(brightest, 0x88 + 0x94 + 0xA2 + 8) << "nothing brighter than the face's top colour";

    // The screen shows the painted face, not the standard button's, even after a new text.
    const DibCanvas& normal = *captures.front();
    const int faceX = rcButton.left + 8, faceY = rcButton.top + rcButton.Height() / 2;
    EXPECT_TRUE(ColourNear(normal.Rgb(faceX, faceY), 0x5A6472, 16)) << "the middle of the normal gradient";
    EXPECT_TRUE(ColourNear(normal.Rgb(rcButton.left + rcButton.Width() / 2, rcButton.top + 1), 0xD0D0D0, 3));
    EXPECT_TRUE(ColourNear(captures[4]->Rgb(faceX, rcButton.top + 5), 0x6A767A, 12)) << "pressed";

    // One strip per state, each named in its top-left corner.
    const int width = normal.Width(), height = normal.Height();
    Gdiplus::Bitmap sheet(width, height * static_cast<int>(captures.size()), PixelFormat32bppRGB);
    {
        Gdiplus::Graphics graphics(&sheet);
        HDC hdc = graphics.GetHDC();
        for (size_t i = 0; i < captures.size(); ++i)
            BitBlt(hdc, 0, static_cast<int>(i) * height, width, height, captures[i]->Dc(), 0, 0, SRCCOPY);
        graphics.ReleaseHDC(hdc);
        auto font = NewFontOrSansSerif(L"Arial", 12.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        Gdiplus::SolidBrush ink{Gdiplus::Color(0xFF202020)};
        Gdiplus::Pen rule(Gdiplus::Color(0xFF808080), 1.0f);
        for (size_t i = 0; i < captures.size(); ++i) {
            const Gdiplus::REAL top = static_cast<Gdiplus::REAL>(i * height);
            graphics.DrawString(ToUtf16(states[i].name).data(), -1, font.get(), Gdiplus::PointF(4.0f, top + 4.0f),
                                &ink);
            graphics.DrawLine(&rule, 0.0f, top, static_cast<Gdiplus::REAL>(width), top);
        }
    }
    const std::string path = ArtifactsFolder() + "\\ui_close_button_states.png";
    ASSERT_TRUE(SavePng(sheet, path));
    const std::string bytes = ReadFileBytes(path);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ("\x89PNG", bytes.substr(0, 4));
    std::printf("screenshot: %s\n", path.c_str());
}

} // namespace
