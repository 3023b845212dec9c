// The GDI+ dialog base on a real dialog of the tests' template: what its frames hold, when
// it renders them, and how a size change reaches its descendants.
#include <gtest/gtest.h>

#include "tests/win/ui/painted/ui_test_resources.h"
#include "tests/win/ui/painted/ui_test_support.h"
#include "ui/painted/gdiplus_dlg.h"

#include <memory>
#include <vector>

namespace {

// Counts the renderings and remembers the size of the last one.
class CountingDlg : public CGdiPlusDlg {
public:
    CountingDlg() : CGdiPlusDlg(IDD_UI_TEST) {}

    void DrawBackground(std::shared_ptr<Gdiplus::Graphics> spGraphics, CRect rcClient, int nMode) override
    {
        ++renders;
        renderedSize = rcClient;
        CGdiPlusDlg::DrawBackground(spGraphics, rcClient, nMode);
    }

    // The client area as a child asking for its parent's picture would get it.
    std::unique_ptr<DibCanvas> Print(DWORD fill = 0x00123456)
    {
        CRect rc;
        GetClientRect(&rc);
        auto canvas = std::make_unique<DibCanvas>(rc.Width(), rc.Height(), fill);
        SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->Dc()), PRF_CLIENT);
        return canvas;
    }

    int renders = 0;
    CRect renderedSize;
};

// The background a mode gives, rendered straight into a 32-bit ARGB bitmap.
std::unique_ptr<Gdiplus::Bitmap> RenderBackground(CGdiPlusDlg& dialog, int mode, int width, int height)
{
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    std::shared_ptr<Gdiplus::Graphics> graphics(Gdiplus::Graphics::FromImage(bitmap.get()));
    dialog.DrawBackground(graphics, CRect(0, 0, width, height), mode);
    return bitmap;
}

TEST(GdiPlusDlgBackground, ModesFillSolidGradientOrNothing)
{
    CountingDlg dialog;
    auto solid = RenderBackground(dialog, 0, 40, 30);
    for (int y : {0, 15, 29})
        for (int x : {0, 20, 39})
            EXPECT_EQ(0xFFFAFAFAu, PixelOf(*solid, x, y));

    auto gradient = RenderBackground(dialog, 1, 40, 100);
    EXPECT_TRUE(ColourNear(PixelOf(*gradient, 0, 0), 0xFFFAFAFA, 1, true));
    EXPECT_TRUE(ColourNear(PixelOf(*gradient, 39, 0), 0xFFFAFAFA, 1, true));
    EXPECT_TRUE(ColourNear(PixelOf(*gradient, 0, 99), 0xFFD9D9D9, 1, true));
    EXPECT_TRUE(ColourNear(PixelOf(*gradient, 20, 50), 0xFFEAEAEA, 2, true)) << "half way between the two";
    for (int y = 1; y < 100; ++y)
        ASSERT_LE(PixelOf(*gradient, 10, y) & 0xFF, PixelOf(*gradient, 10, y - 1) & 0xFF) << "darkens downwards, row " << y;

    for (int mode : {2, -1}) {
        auto none = RenderBackground(dialog, mode, 20, 20);
        EXPECT_EQ(0x00000000u, PixelOf(*none, 0, 0));
        EXPECT_EQ(0x00000000u, PixelOf(*none, 19, 19));
    }

    dialog.SetBackgroundColors(0xFF204060, 0xFF406080, false);
    auto custom = RenderBackground(dialog, 1, 10, 60);
    EXPECT_TRUE(ColourNear(PixelOf(*custom, 5, 0), 0xFF204060, 1, true));
    EXPECT_TRUE(ColourNear(PixelOf(*custom, 5, 59), 0xFF406080, 1, true));
}

class GdiPlusDlgWindow : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dialog.Create(IDD_UI_TEST)); }

    void Show()
    {
        dialog.ShowWindow(SW_SHOWNA);
        UpdateWindow(dialog.m_hWnd);
        PumpMessages();
    }

    CountingDlg dialog;
};

TEST_F(GdiPlusDlgWindow, PrintedFramesShowTheBackgroundOfTheMode)
{
    CRect rc;
    dialog.GetClientRect(&rc);
    auto gradient = dialog.Print();
    EXPECT_EQ(1, dialog.renders) << "the first paint renders without any WM_SIZE";
    EXPECT_EQ(rc, dialog.renderedSize);
    EXPECT_TRUE(ColourNear(gradient->Rgb(0, 0), 0xFAFAFA, 1));
    EXPECT_TRUE(ColourNear(gradient->Rgb(rc.Width() - 1, rc.Height() - 1), 0xD9D9D9, 1));

    dialog.SetSolidBackground(false);
    dialog.Redraw();
    auto solid = dialog.Print();
    EXPECT_TRUE(ColourNear(solid->Rgb(0, 0), 0xFAFAFA, 0));
    EXPECT_TRUE(ColourNear(solid->Rgb(rc.Width() - 1, rc.Height() - 1), 0xFAFAFA, 0));

    dialog.SetBackgroundMode(2);
    auto none = dialog.Print(0x00123456);
    EXPECT_EQ(0x123456u, none->Rgb(0, 0)) << "a transparent frame leaves the target as it was";
    EXPECT_EQ(0x123456u, none->Rgb(rc.Width() / 2, rc.Height() / 2));
}

TEST_F(GdiPlusDlgWindow, RendersOnlyAfterATrigger)
{
    dialog.Print();
    Show();
    const int rendered = dialog.renders;
    EXPECT_EQ(1, rendered);
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    auto again = dialog.Print();
    EXPECT_EQ(rendered, dialog.renders) << "repaints and WM_PRINTCLIENT on a clean frame only blit";
    EXPECT_TRUE(ColourNear(again->Rgb(0, 0), 0xFAFAFA, 1)) << "the blit still draws the frame";

    dialog.SetClientSize(300, 150);
    PumpMessages();
    EXPECT_EQ(rendered + 1, dialog.renders) << "a size change renders at once";
    EXPECT_EQ(CRect(0, 0, 300, 150), dialog.renderedSize);
    auto resized = dialog.Print();
    EXPECT_TRUE(ColourNear(resized->Rgb(299, 149), 0xD9D9D9, 1));
}

TEST_F(GdiPlusDlgWindow, AColourSetWithoutRedrawShowsAtTheNextTrigger)
{
    dialog.SetSolidBackground();
    Show();
    dialog.SetBackgroundColor(0xFF336699, false);
    EXPECT_TRUE(ColourNear(dialog.Print()->Rgb(5, 5), 0xFAFAFA, 0));
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(ColourNear(dialog.Print()->Rgb(5, 5), 0xFAFAFA, 0)) << "a plain repaint keeps the old colour";
    dialog.Redraw();
    EXPECT_TRUE(ColourNear(dialog.Print()->Rgb(5, 5), 0x336699, 0));

    dialog.SetBackgroundColor(0xFF996633, false);
    dialog.SetClientSize(200, 100);
    PumpMessages();
    EXPECT_TRUE(ColourNear(dialog.Print()->Rgb(5, 5), 0x996633, 0)) << "a resize is a trigger too";
}

// Records the size notifications that reach one window.
class SizeRecorder : public CWnd {
public:
    std::vector<LPARAM> sizes;

protected:
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (message == WM_SIZE)
            sizes.push_back(lParam);
        return CWnd::OnWndMsg(message, wParam, lParam, pResult);
    }
};

TEST_F(GdiPlusDlgWindow, ASizeChangeIsPostedOnceToEveryDescendantWithTheDialogsClientSize)
{
    HWND container = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 30, 80, 40, dialog.m_hWnd,
                                     nullptr, nullptr, nullptr);
    HWND grandchild = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 2, 2, 20, 10, container, nullptr,
                                      nullptr, nullptr);
    SizeRecorder recorders[4];
    const HWND windows[4] = {dialog.GetDlgItem(IDC_UI_BUTTON), dialog.GetDlgItem(IDC_UI_LABEL), container, grandchild};
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(recorders[i].SubclassWindow(windows[i]));
    Show();
    for (auto& recorder : recorders)
        recorder.sizes.clear();

    dialog.SetClientSize(320, 180);
    for (const auto& recorder : recorders)
        EXPECT_TRUE(recorder.sizes.empty()) << "posted, not sent";
    PumpMessages();
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(1u, recorders[i].sizes.size()) << "descendant " << i;
        EXPECT_EQ(MAKELPARAM(320, 180), recorders[i].sizes[0]) << "descendant " << i;
    }
}

TEST(GdiPlusDlgGeometry, HelpersReadAndPlaceTheOuterWindow)
{
    CountingDlg dialog;
    int cx = -5, cy = -6;
    dialog.GetWindowSize(cx, cy);
    EXPECT_EQ(-5, cx) << "outputs untouched without a window";
    EXPECT_EQ(0, dialog.GetWindowWidth());
    EXPECT_EQ(0, dialog.GetWindowTop());

    ASSERT_TRUE(dialog.Create(IDD_UI_TEST));
    dialog.SetClientSize(250, 120);
    CRect client;
    dialog.GetClientRect(&client);
    EXPECT_EQ(CRect(0, 0, 250, 120), client);
    const int width = dialog.GetWindowWidth(), height = dialog.GetWindowHeight();
    EXPECT_GT(width, 250);
    dialog.MoveWindowTo(40, 50);
    EXPECT_EQ(40, dialog.GetWindowLeft());
    EXPECT_EQ(50, dialog.GetWindowTop());
    EXPECT_EQ(width, dialog.GetWindowWidth());
    EXPECT_EQ(height, dialog.GetWindowHeight());
}

} // namespace
