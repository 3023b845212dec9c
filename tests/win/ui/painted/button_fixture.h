// A dialog of the tests' template whose button is bound, as the finish dialog binds its own,
// to a button object of the test's choosing on the first data exchange.
#pragma once

#include "tests/win/ui/painted/ui_test_resources.h"
#include "tests/win/ui/painted/ui_test_support.h"
#include "ui/painted/gdiplus_dlg.h"

#include <memory>
#include <string>

template <class Button>
class ButtonDialog : public CGdiPlusDlg {
public:
    ButtonDialog() : CGdiPlusDlg(IDD_UI_TEST) {}

    Button button;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CGdiPlusDlg::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_UI_BUTTON, button);
    }
};

// A button seen through its extension points, which any derived button may override: a count
// of its renderings and the caption it last drew, and where. Its state shows only in what it draws.
template <class Base>
class Probe : public Base {
public:
    void DrawFace(std::shared_ptr<Gdiplus::Graphics> g, Gdiplus::Rect* rc) override
    {
        ++renders;
        Base::DrawFace(g, rc);
    }
    void DrawCaption(std::shared_ptr<Gdiplus::Graphics> g, const WCHAR* text, Gdiplus::Rect* rc,
                     std::shared_ptr<Gdiplus::Font> font, bool bMeasureOnly) override
    {
        Base::DrawCaption(g, text, rc, font, bMeasureOnly);
        if (!bMeasureOnly) {
            drawnCaption = text;
            drawnCaptionBox = *rc;
        }
    }

    // The button's current picture, rendered first if stale, in a DIB of its client size.
    std::unique_ptr<DibCanvas> Render(DWORD fill = 0x00FF00FF)
    {
        CRect rc;
        this->GetClientRect(&rc);
        auto canvas = std::make_unique<DibCanvas>(rc.Width(), rc.Height(), fill);
        CDC dc(canvas->Dc());
        this->DrawButton(&dc);
        return canvas;
    }

    // The default glow's strength: the alpha it reaches at the bottom edge of a face.
    int GlowAlpha()
    {
        Gdiplus::Bitmap bitmap(4, 100, PixelFormat32bppARGB);
        std::shared_ptr<Gdiplus::Graphics> graphics(Gdiplus::Graphics::FromImage(&bitmap));
        Gdiplus::Rect rc(0, 0, 4, 100);
        this->DrawDefaultGlow(graphics, &rc);
        return static_cast<int>(PixelOf(bitmap, 2, 99) >> 24);
    }

    int renders = 0;
    std::wstring drawnCaption;
    Gdiplus::Rect drawnCaptionBox;
};

// Creates the dialog and lets the button take its shape. The dialog stays hidden unless a
// test shows it: hiding a shown window costs Wine two seconds without a window manager.
template <class Button>
class ButtonTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dialog.Create(IDD_UI_TEST));
        ASSERT_NE(nullptr, button().m_hWnd);
        PumpMessages();
    }

    void Show()
    {
        dialog.ShowWindow(SW_SHOWNA);
        UpdateWindow(dialog.m_hWnd);
        PumpMessages();
    }

    Button& button() { return dialog.button; }
    HWND hButton() { return dialog.button.m_hWnd; }

    // A point of the button's client area.
    static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return SendMessageA(hButton(), message, wParam, lParam);
    }

    // Removes and counts the click notifications waiting for the dialog.
    int TakeClicks()
    {
        int clicks = 0;
        MSG msg;
        while (PeekMessageA(&msg, dialog.m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
            EXPECT_EQ(MAKEWPARAM(IDC_UI_BUTTON, BN_CLICKED), msg.wParam);
            EXPECT_EQ(reinterpret_cast<LPARAM>(hButton()), msg.lParam);
            ++clicks;
        }
        return clicks;
    }

    bool GlowTimerRunning() { return KillTimer(hButton(), 2) != FALSE && SetTimer(hButton(), 2, 50, nullptr) != 0; }

    ButtonDialog<Button> dialog;
};
