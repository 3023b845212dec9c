// The GDI+ button's behaviour on a real subclassed push button: the pointer table driven by
// real messages, the default-button protocol with the dialog manager, the glow timer, text,
// tooltip, window shape and resource images. Its state is read from what it draws: each
// visual state gets a face colour of the test's own.
#include <gtest/gtest.h>

#include "tests/win/ui/painted/button_fixture.h"
#include "ui/painted/gdiplus_button.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

using ButtonProbe = Probe<CGdiPlusButton>;

const DWORD kNormal = 0x102030, kHover = 0x405060, kPressed = 0x708090;

class GdiPlusButtonTest : public ButtonTest<ButtonProbe> {
protected:
    void SetUp() override
    {
        ButtonTest<ButtonProbe>::SetUp();
        button().SetGradient(false);
        button().SetFlatColours(0xFF000000 | kNormal, 0xFF000000 | kPressed, 0xFF000000 | kHover);
    }

    CRect Client()
    {
        CRect rc;
        button().GetClientRect(&rc);
        return rc;
    }
    LPARAM Inside() { return At(Client().right / 2, Client().bottom / 2); }
    LPARAM Outside() { return At(Client().right + 10, Client().bottom / 2); }

    // The visual state, by the face's colour left of the caption.
    std::string State()
    {
        auto canvas = button().Render();
        const DWORD face = canvas->Rgb(5, canvas->Height() / 2);
        return face == kNormal ? "normal" : face == kHover ? "hover" : face == kPressed ? "pressed" : "other";
    }

    bool IsDefault() { return (Send(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON) != 0; }
};

// The tooltip control of this thread that has a tool for the window; none when there is none.
BOOL CALLBACK FindTooltip(HWND window, LPARAM found)
{
    char name[32] = {};
    auto* tip = reinterpret_cast<std::pair<HWND, HWND>*>(found);
    TOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = tip->first;
    info.uId = 1;
    if (GetClassNameA(window, name, sizeof name) && lstrcmpiA(name, TOOLTIPS_CLASSA) == 0 &&
        SendMessageA(window, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)))
        tip->second = window;
    return TRUE;
}

HWND TooltipOf(HWND window)
{
    std::pair<HWND, HWND> tip{window, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindTooltip, reinterpret_cast<LPARAM>(&tip));
    return tip.second;
}

// Whether GDI+ here underlines a hotkey in the button's caption font: "&S" drawn with the prefix
// shown and hidden differ.
bool HotkeysUnderlined(ButtonProbe& button)
{
    Gdiplus::Bitmap pictures[2] = {{40, 40, PixelFormat32bppARGB}, {40, 40, PixelFormat32bppARGB}};
    for (int shown = 0; shown < 2; ++shown) {
        auto graphics = std::make_shared<Gdiplus::Graphics>(&pictures[shown]);
        Gdiplus::StringFormat format;
        format.SetHotkeyPrefix(shown ? Gdiplus::HotkeyPrefixShow : Gdiplus::HotkeyPrefixHide);
        const Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
        graphics->DrawString(L"&S", -1, button.GetCaptionFont(graphics).get(), Gdiplus::RectF(0, 0, 40, 40), &format,
                             &white);
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (PixelOf(pictures[0], x, y) != PixelOf(pictures[1], x, y))
                return true;
    return false;
}

bool SamePicture(const DibCanvas& a, const DibCanvas& b)
{
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Rgb(x, y) != b.Rgb(x, y))
                return false;
    return true;
}

TEST_F(GdiPlusButtonTest, SubclassingTakesTheTemplateTextAndShapesTheWindow)
{
    button().Render();
    EXPECT_EQ(L"Close", button().drawnCaption);
    const CRect client = Client();
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(hButton(), region));
    RECT box;
    GetRgnBox(region, &box);
    DeleteObject(region);
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(0, box.top);
    EXPECT_NEAR(client.right - 1, box.right, 1) << "the path's right edge is at width - 1";
    EXPECT_NEAR(client.bottom - 1, box.bottom, 1);
}

TEST_F(GdiPlusButtonTest, AClickInsidePostsOneCommandAndEndsHovering)
{
    EXPECT_EQ("normal", State());
    Send(WM_MOUSEMOVE, 0, Inside());
    EXPECT_EQ("hover", State());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    EXPECT_EQ("pressed", State());
    EXPECT_EQ(hButton(), GetFocus()) << "the press takes the focus";
    EXPECT_EQ(0, TakeClicks());
    Send(WM_LBUTTONUP, 0, Inside());
    EXPECT_EQ("hover", State());
    EXPECT_EQ(1, TakeClicks());
    Send(WM_LBUTTONUP, 0, Inside());
    EXPECT_EQ(0, TakeClicks()) << "the release disarmed it";
}

TEST_F(GdiPlusButtonTest, APressDraggedOffOrStartedOutsidePostsNothing)
{
    Send(WM_MOUSEMOVE, 0, Inside());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    Send(WM_MOUSELEAVE);
    EXPECT_EQ("normal", State());
    Send(WM_LBUTTONUP, 0, Inside());
    EXPECT_EQ("normal", State());
    EXPECT_EQ(0, TakeClicks()) << "leaving disarmed it";

    // A release outside that still finds the button armed disarms it and restarts the glow.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    KillTimer(hButton(), CGdiPlusButton::kGlowTimerId);
    Send(WM_LBUTTONUP, 0, Outside());
    EXPECT_EQ("normal", State());
    EXPECT_TRUE(GlowTimerRunning());
    Send(WM_LBUTTONUP, 0, Inside());
    EXPECT_EQ(0, TakeClicks()) << "the release outside disarmed it";

    Send(WM_LBUTTONDOWN, MK_LBUTTON, Outside());
    Send(WM_LBUTTONUP, 0, Inside());
    EXPECT_EQ(0, TakeClicks());
}

TEST_F(GdiPlusButtonTest, ADoubleClickPostsTwoCommands)
{
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    Send(WM_LBUTTONUP, 0, Inside());
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Inside());
    Send(WM_LBUTTONUP, 0, Inside());
    EXPECT_EQ(2, TakeClicks());
}

TEST_F(GdiPlusButtonTest, WhileDisabledThePointerChangesNothing)
{
    Send(WM_MOUSEMOVE, 0, Inside());
    ASSERT_EQ("hover", State());
    EnableWindow(hButton(), FALSE);
    EXPECT_EQ("normal", State()) << "disabling returns to normal";

    Send(WM_MOUSELEAVE);
    Send(WM_MOUSEMOVE, 0, Inside());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    EXPECT_EQ("normal", State());
    Send(WM_LBUTTONUP, 0, Inside());
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Inside());
    EXPECT_EQ(0, TakeClicks());

    EnableWindow(hButton(), TRUE);
    Send(WM_MOUSELEAVE);
    Send(WM_MOUSEMOVE, 0, Inside());
    EXPECT_EQ("hover", State()) << "enabled again";
}

TEST_F(GdiPlusButtonTest, TheDefaultStyleOnlySwitchesTheGlow)
{
    const LONG style = GetWindowLongA(hButton(), GWL_STYLE);
    EXPECT_EQ(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON, Send(WM_GETDLGCODE));
    button().Render();
    const int renders = button().renders;

    EXPECT_EQ(0, Send(BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE));
    EXPECT_TRUE(IsDefault());
    button().Render();
    EXPECT_EQ(renders, button().renders) << "a zero low word stores the flag without redrawing";
    EXPECT_EQ(style, GetWindowLongA(hButton(), GWL_STYLE)) << "the window's own style bits stay";

    Send(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(IsDefault());
    button().Render();
    EXPECT_EQ(renders + 1, button().renders) << "a non-zero low word redraws";

    // The dialog manager moves the default with the same message.
    SendMessageA(dialog.m_hWnd, DM_SETDEFID, IDC_UI_BUTTON, 0);
    EXPECT_TRUE(IsDefault());
}

TEST_F(GdiPlusButtonTest, WithoutPulseOneTickSettlesTheGlowAndStopsTheTimer)
{
    EXPECT_EQ(0, button().GlowAlpha()) << "no glow before the first tick";
    button().SetPulse(false);
    ASSERT_TRUE(GlowTimerRunning());
    Send(WM_TIMER, CGdiPlusButton::kGlowTimerId);
    const int settled = button().GlowAlpha();
    EXPECT_GT(settled, 0);
    EXPECT_FALSE(KillTimer(hButton(), CGdiPlusButton::kGlowTimerId)) << "the timer stopped itself";
    Send(WM_TIMER, CGdiPlusButton::kGlowTimerId);
    EXPECT_EQ(settled, button().GlowAlpha()) << "a late tick finds it settled";

    Send(WM_TIMER, 7);
    EXPECT_EQ(settled, button().GlowAlpha()) << "other timers are not the glow's";

    // A hover inside puts the glow out until the timer starts again.
    button().SetPulse(false);
    Send(WM_MOUSEHOVER, 0, Inside());
    EXPECT_EQ(0, button().GlowAlpha());
    EXPECT_FALSE(KillTimer(hButton(), CGdiPlusButton::kGlowTimerId));
}

TEST_F(GdiPlusButtonTest, WithPulseTheGlowClimbsToHalfAndFallsBackInHundredths)
{
    button().SetPulse(true);
    std::vector<int> alphas;
    for (int tick = 0; tick < 110; ++tick) {
        Send(WM_TIMER, CGdiPlusButton::kGlowTimerId);
        alphas.push_back(button().GlowAlpha());
        if (tick > 0) {
            EXPECT_LE(std::abs(alphas[tick] - alphas[tick - 1]), 3) << "a hundredth of 255 a tick, tick " << tick;
        }
    }
    const auto top = std::max_element(alphas.begin(), alphas.begin() + 80);
    EXPECT_NEAR(127, *top, 2) << "half the glow colour's alpha";
    EXPECT_NEAR(50, top - alphas.begin() + 1, 1) << "about 2.5 s at 50 ms a step";
    const auto bottom = std::min_element(top, alphas.end());
    EXPECT_EQ(0, *bottom);
    EXPECT_NEAR(100, bottom - alphas.begin() + 1, 2) << "as long back down";
    EXPECT_GT(alphas.back(), 0) << "and climbs again";
    EXPECT_TRUE(GlowTimerRunning());
}

TEST_F(GdiPlusButtonTest, FocusRestartsTheGlowTimer)
{
    SetFocus(dialog.GetDlgItem(IDC_UI_LABEL));
    KillTimer(hButton(), CGdiPlusButton::kGlowTimerId);
    button().SetFocus();
    EXPECT_TRUE(GlowTimerRunning());
    KillTimer(hButton(), CGdiPlusButton::kGlowTimerId);
    SetFocus(dialog.m_hWnd);
    EXPECT_TRUE(GlowTimerRunning()) << "losing the focus restarts it when not pulsing";
}

TEST_F(GdiPlusButtonTest, TextAndAcceleratorCues)
{
    button().SetWindowText("&Start");
    auto hidden = button().Render();
    EXPECT_EQ(L"&Start", button().drawnCaption);
    CStringA text;
    button().GetWindowText(text);
    EXPECT_STREQ("&Start", text);

    // The underline of the S shows once the cues are on.
    if (!HotkeysUnderlined(button()))
        GTEST_SKIP() << "the accelerator cues: GDI+ here draws no hotkey underline (tried); the caption was checked";
    Send(WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
    EXPECT_TRUE(SamePicture(*hidden, *button().Render())) << "only both hide flags cleared together count";
    Send(WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL));
    auto shown = button().Render();
    EXPECT_FALSE(SamePicture(*hidden, *shown));
    Send(WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL));
    EXPECT_TRUE(SamePicture(*shown, *button().Render())) << "the underlines stay visible";
}

TEST_F(GdiPlusButtonTest, TooltipIsMadeAndRemoved)
{
    button().SetTooltip(true, "Starts Outlook", "Outlook", 220, 300);
    HWND tip = TooltipOf(hButton());
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(1, SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ(220, SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0));
    EXPECT_EQ(300, SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
    char text[64] = {};
    TOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = hButton();
    info.uId = 1;
    info.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ("Starts Outlook", text);

    button().SetTooltip(false, "", "", 0, 0);
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(nullptr, TooltipOf(hButton()));
}

TEST_F(GdiPlusButtonTest, ADialogSizeNotificationReshapesTheButtonToItsOwnClientArea)
{
    dialog.SetClientSize(500, 300);
    PumpMessages();
    const CRect client = Client();
    ASSERT_LT(client.Width(), 400);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(hButton(), region);
    RECT box;
    GetRgnBox(region, &box);
    DeleteObject(region);
    EXPECT_NEAR(client.right - 1, box.right, 1);
    EXPECT_NEAR(client.bottom - 1, box.bottom, 1);
}

TEST_F(GdiPlusButtonTest, ImagesComeFromTheResources)
{
    auto jpeg = button().LoadImageFromResource(MAKEINTRESOURCEA(IDR_UI_JPEG), "JPEG");
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(24u, jpeg->GetWidth());
    EXPECT_EQ(16u, jpeg->GetHeight());
    auto gif = button().LoadImageFromResource(MAKEINTRESOURCEA(IDR_UI_GIF), "GIF");
    ASSERT_TRUE(gif);
    EXPECT_EQ(16u, gif->GetWidth());
    EXPECT_EQ(6u, gif->GetHeight());
    EXPECT_EQ(0xFFFF0000u, PixelOf(*gif, 2, 2));
    EXPECT_EQ(0xFF0000FFu, PixelOf(*gif, 13, 2));

    EXPECT_FALSE(button().LoadImageFromResource(MAKEINTRESOURCEA(999), "GIF")) << "no such name";
    EXPECT_FALSE(button().LoadImageFromResource(MAKEINTRESOURCEA(IDR_UI_GIF), "PNG")) << "no such type";
    EXPECT_FALSE(button().LoadImageFromResource("NOSUCHNAME", "JPEG"));

    // Set on the button, the image shows, halved, at its right end.
    button().SetWindowText("");
    auto none = button().Render();
    button().SetImage(IDR_UI_GIF, "GIF", 0.5f, CGdiPlusButton::AlignRight);
    auto right = button().Render();
    const int w = right->Width(), h = right->Height();
    EXPECT_NE(kNormal, right->Rgb(w - 5 - 6, h / 2)) << "8 pixels wide, 5 from the right";
    EXPECT_EQ(kNormal, right->Rgb(w - 5 - 10, h / 2));
    EXPECT_EQ(kNormal, right->Rgb(w / 2, h / 2));
    button().SetImage(-1, "GIF", 2.0f, CGdiPlusButton::AlignLeft);
    EXPECT_TRUE(SamePicture(*right, *button().Render())) << "a negative identifier changes nothing";
    // A failed load leaves no image, for the next painting: it does not redraw by itself.
    button().SetImage(999, "GIF", 2.0f, CGdiPlusButton::AlignLeft);
    button().Redraw();
    EXPECT_TRUE(SamePicture(*none, *button().Render())) << "a failed load leaves no image";
}

} // namespace
