// The GDI+ button's behaviour on a real subclassed push button: the pointer table driven by
// real messages, the default-button protocol with the dialog manager, the glow timer, text,
// tooltip, window shape and resource images.
#include <gtest/gtest.h>

#include "tests/win/ui/painted/button_fixture.h"
#include "ui/painted/gdiplus_button.h"

#include <commctrl.h>

namespace {

using ButtonProbe = Probe<CGdiPlusButton>;

class GdiPlusButtonTest : public ButtonTest<ButtonProbe> {
public:
    using ButtonTest<ButtonProbe>::dialog;

protected:
    LPARAM Inside() { return At(button().m_rcClient.right / 2, button().m_rcClient.bottom / 2); }
    LPARAM Outside() { return At(button().m_rcClient.right + 10, button().m_rcClient.bottom / 2); }
};

TEST_F(GdiPlusButtonTest, SubclassingTakesTheTemplateTextAndShapesTheWindow)
{
    EXPECT_STREQ("Close", button().m_strCaption);
    CRect client;
    button().GetClientRect(&client);
    EXPECT_EQ(client, button().m_rcClient) << "the posted WM_SIZE read the client rectangle";
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
    Send(WM_MOUSEMOVE, 0, Inside());
    EXPECT_EQ(CGdiPlusButton::StateHover, button().m_nState);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    EXPECT_EQ(CGdiPlusButton::StatePressed, button().m_nState);
    EXPECT_TRUE(button().m_bArmed);
    EXPECT_EQ(hButton(), GetFocus()) << "the press takes the focus";
    EXPECT_EQ(0, TakeClicks());
    Send(WM_LBUTTONUP, 0, Inside());
    EXPECT_EQ(CGdiPlusButton::StateHover, button().m_nState);
    EXPECT_FALSE(button().m_bArmed);
    EXPECT_EQ(1, TakeClicks());
}

TEST_F(GdiPlusButtonTest, APressDraggedOffOrStartedOutsidePostsNothing)
{
    Send(WM_MOUSEMOVE, 0, Inside());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    Send(WM_MOUSELEAVE);
    EXPECT_EQ(CGdiPlusButton::StateNormal, button().m_nState);
    EXPECT_FALSE(button().m_bArmed);
    EXPECT_FALSE(button().m_bHovering);
    Send(WM_LBUTTONUP, 0, Outside());
    EXPECT_EQ(CGdiPlusButton::StateNormal, button().m_nState);
    EXPECT_EQ(0, TakeClicks());

    // A release outside that still finds the button armed disarms it and restarts the glow.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    KillTimer(hButton(), CGdiPlusButton::kGlowTimerId);
    Send(WM_LBUTTONUP, 0, Outside());
    EXPECT_EQ(CGdiPlusButton::StateNormal, button().m_nState);
    EXPECT_FALSE(button().m_bArmed);
    EXPECT_TRUE(GlowTimerRunning());
    EXPECT_EQ(0, TakeClicks());

    Send(WM_LBUTTONDOWN, MK_LBUTTON, Outside());
    EXPECT_FALSE(button().m_bArmed);
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
    ASSERT_EQ(CGdiPlusButton::StateHover, button().m_nState);
    EnableWindow(hButton(), FALSE);
    EXPECT_FALSE(button().m_bEnabled);
    EXPECT_EQ(CGdiPlusButton::StateNormal, button().m_nState) << "disabling returns to normal";

    Send(WM_MOUSELEAVE);
    Send(WM_MOUSEMOVE, 0, Inside());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Inside());
    EXPECT_EQ(CGdiPlusButton::StateNormal, button().m_nState);
    EXPECT_FALSE(button().m_bArmed);
    Send(WM_LBUTTONUP, 0, Inside());
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Inside());
    EXPECT_EQ(0, TakeClicks());

    EnableWindow(hButton(), TRUE);
    EXPECT_TRUE(button().m_bEnabled);
}

TEST_F(GdiPlusButtonTest, TheDefaultStyleOnlySwitchesTheGlow)
{
    const LONG style = GetWindowLongA(hButton(), GWL_STYLE);
    EXPECT_EQ(DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON, Send(WM_GETDLGCODE));
    button().Render();
    ASSERT_FALSE(button().m_bStale);

    EXPECT_EQ(0, Send(BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE));
    EXPECT_TRUE(button().m_bIsDefault);
    EXPECT_FALSE(button().m_bStale) << "a zero low word stores the flag without redrawing";
    EXPECT_EQ(style, GetWindowLongA(hButton(), GWL_STYLE)) << "the window's own style bits stay";
    EXPECT_EQ(0x2010, Send(WM_GETDLGCODE));

    Send(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(button().m_bIsDefault);
    EXPECT_TRUE(button().m_bStale) << "a non-zero low word redraws";
    EXPECT_EQ(0x2020, Send(WM_GETDLGCODE));

    // The dialog manager moves the default with the same message.
    SendMessageA(dialog.m_hWnd, DM_SETDEFID, IDC_UI_BUTTON, 0);
    EXPECT_TRUE(button().m_bIsDefault);
}

TEST_F(GdiPlusButtonTest, WithoutPulseOneTickSettlesTheGlowAndStopsTheTimer)
{
    EXPECT_FLOAT_EQ(0.0f, button().m_fGlowLevel);
    button().SetPulse(false);
    ASSERT_TRUE(GlowTimerRunning());
    Send(WM_TIMER, CGdiPlusButton::kGlowTimerId);
    EXPECT_FLOAT_EQ(0.26f, button().m_fGlowLevel);
    EXPECT_FALSE(KillTimer(hButton(), CGdiPlusButton::kGlowTimerId)) << "the timer stopped itself";

    Send(WM_TIMER, 7);
    EXPECT_FLOAT_EQ(0.26f, button().m_fGlowLevel) << "other timers are not the glow's";

    // A hover inside puts the glow out until the timer starts again.
    button().SetPulse(false);
    Send(WM_MOUSEHOVER, 0, Inside());
    EXPECT_FLOAT_EQ(0.0f, button().m_fGlowLevel);
    EXPECT_FALSE(KillTimer(hButton(), CGdiPlusButton::kGlowTimerId));
}

// Steps until the level reaches the end, each 0.01 but the last, which may be cut short where
// the sum of single-precision hundredths falls a hair short of the end.
int StepGlowTo(GdiPlusButtonTest* test, float end)
{
    ButtonProbe& button = test->dialog.button;
    const float step = end > button.m_fGlowLevel ? 0.01f : -0.01f;
    int ticks = 0;
    while (button.m_fGlowLevel != end && ticks < 100) {
        const float previous = button.m_fGlowLevel;
        SendMessageA(button.m_hWnd, WM_TIMER, CGdiPlusButton::kGlowTimerId, 0);
        ++ticks;
        if (button.m_fGlowLevel != end) {
            EXPECT_NEAR(step, button.m_fGlowLevel - previous, 1e-5f) << "tick " << ticks;
        }
    }
    return ticks;
}

TEST_F(GdiPlusButtonTest, WithPulseTheGlowClimbsToHalfAndFallsBackInHundredths)
{
    button().SetPulse(true);
    EXPECT_NEAR(50, StepGlowTo(this, 0.5f), 1) << "about 2.5 s at 50 ms a step";
    EXPECT_NEAR(50, StepGlowTo(this, 0.0f), 1);
    Send(WM_TIMER, CGdiPlusButton::kGlowTimerId);
    EXPECT_NEAR(0.01f, button().m_fGlowLevel, 1e-5f) << "and climbs again";
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
    EXPECT_STREQ("&Start", button().m_strCaption);
    CStringA text;
    button().GetWindowText(text);
    EXPECT_STREQ("&Start", text);

    EXPECT_FALSE(button().m_bShowAccelerators);
    Send(WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
    EXPECT_FALSE(button().m_bShowAccelerators) << "only both hide flags cleared together count";
    Send(WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS | UISF_HIDEACCEL));
    EXPECT_TRUE(button().m_bShowAccelerators);
    Send(WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL));
    EXPECT_TRUE(button().m_bShowAccelerators) << "the underlines stay visible";
}

TEST_F(GdiPlusButtonTest, TooltipIsMadeAndRemoved)
{
    button().SetTooltip(true, "Starts Outlook", "Outlook", 220, 300);
    HWND tip = button().m_tooltip.m_hWnd;
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
    EXPECT_EQ(nullptr, button().m_tooltip.m_hWnd);
    EXPECT_FALSE(IsWindow(tip));
}

TEST_F(GdiPlusButtonTest, ADialogSizeNotificationReshapesTheButtonToItsOwnClientArea)
{
    dialog.SetClientSize(500, 300);
    PumpMessages();
    CRect client;
    button().GetClientRect(&client);
    ASSERT_LT(client.Width(), 400);
    EXPECT_EQ(client, button().m_rcClient);
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

    button().SetImage(IDR_UI_GIF, "GIF", 0.5f, CGdiPlusButton::AlignRight);
    ASSERT_TRUE(button().m_spImage);
    EXPECT_FLOAT_EQ(0.5f, button().m_fImageScale);
    EXPECT_EQ(CGdiPlusButton::AlignRight, button().m_nImageAlign);
    button().SetImage(-1, "GIF", 2.0f, CGdiPlusButton::AlignLeft);
    EXPECT_TRUE(button().m_spImage) << "a negative identifier changes nothing";
    EXPECT_FLOAT_EQ(0.5f, button().m_fImageScale);
    button().SetImage(999, "GIF", 2.0f, CGdiPlusButton::AlignLeft);
    EXPECT_FALSE(button().m_spImage) << "a failed load leaves no image";
    EXPECT_FLOAT_EQ(0.5f, button().m_fImageScale);
}

} // namespace
