// What the GDI+ button puts in its frames: the parent's background behind the rounded
// corners, the face of its state, border and ring where they belong, the focus cue, the
// default glow, the caption's colours and the image. The tests set the colours they look for.
#include <gtest/gtest.h>

#include "tests/win/ui/painted/button_fixture.h"
#include "ui/painted/button_close_finish_dlg.h"
#include "ui/painted/gdiplus_button.h"

#include <algorithm>

namespace {

const DWORD kGreen = 0x00FF00;

// Renders over a green dialog with no caption and the focus elsewhere, unless a test says so.
template <class Button>
class RenderTest : public ButtonTest<Probe<Button>> {
protected:
    void SetUp() override
    {
        ButtonTest<Probe<Button>>::SetUp();
        this->dialog.SetSolidBackground(false);
        this->dialog.SetBackgroundColor(0xFF000000 | kGreen, false);
        this->button().SetWindowText("");
        SetFocus(nullptr);
    }

    std::unique_ptr<DibCanvas> Render()
    {
        this->button().Redraw();
        return this->button().Render();
    }
};

using GdiPlusButtonRender = RenderTest<CGdiPlusButton>;
using CloseButtonRender = RenderTest<CButtonCloseFinishDlg>;

// The brightest pixel of a rectangle, as the sum of its channels and its value.
DWORD Brightest(const DibCanvas& canvas, int left, int top, int right, int bottom)
{
    DWORD best = 0;
    int bestSum = -1;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const DWORD rgb = canvas.Rgb(x, y);
            const int sum = static_cast<int>((rgb >> 16) + ((rgb >> 8) & 0xFF) + (rgb & 0xFF));
            if (sum > bestSum) {
                bestSum = sum;
                best = rgb;
            }
        }
    return best;
}

bool RowHas(const DibCanvas& canvas, int y, DWORD rgb)
{
    for (int x = 0; x < canvas.Width(); ++x)
        if (canvas.Rgb(x, y) == rgb)
            return true;
    return false;
}

TEST_F(GdiPlusButtonRender, CornersShowTheParentAndTheFaceTheGradientOfItsState)
{
    // Top and bottom of each state: normal, pressed, hover.
    button().SetGradientColours(0xFFC00000, 0xFF400000, 0xFF00C000, 0xFF004000, 0xFF0000C0, 0xFF000040);
    auto normal = Render();
    const int w = normal->Width(), h = normal->Height(), mid = w / 2;
    for (const POINT& corner : {POINT{0, 0}, POINT{1, 1}, POINT{w - 1, 0}, POINT{0, h - 1}, POINT{w - 1, h - 1}})
        EXPECT_TRUE(ColourNear(normal->Rgb(corner.x, corner.y), kGreen, 0)) << corner.x << "," << corner.y;
    EXPECT_TRUE(ColourNear(normal->Rgb(mid, 1), 0xC00000, 4));
    EXPECT_TRUE(ColourNear(normal->Rgb(mid, h - 3), 0x400000, 12));
    EXPECT_TRUE(ColourNear(normal->Rgb(mid, h / 2), 0x800000, 8)) << "half way down";

    SendMessageA(hButton(), WM_MOUSEMOVE, 0, At(mid, h / 2));
    auto hover = button().Render();
    EXPECT_TRUE(ColourNear(hover->Rgb(mid, 1), 0x0000C0, 4));
    EXPECT_TRUE(ColourNear(hover->Rgb(mid, h - 3), 0x000040, 12));

    SendMessageA(hButton(), WM_LBUTTONDOWN, MK_LBUTTON, At(mid, h / 2));
    SetFocus(nullptr); // the press took it
    auto pressed = Render();
    EXPECT_TRUE(ColourNear(pressed->Rgb(mid, 1), 0x00C000, 4));
    EXPECT_TRUE(ColourNear(pressed->Rgb(mid, h - 3), 0x004000, 12));
    EXPECT_TRUE(ColourNear(pressed->Rgb(0, 0), kGreen, 0));

    button().SetGradient(false);
    auto flat = Render();
    EXPECT_EQ(flat->Rgb(mid, 1), flat->Rgb(mid, h - 3)) << "a flat face is the top colour throughout";
    EXPECT_TRUE(ColourNear(flat->Rgb(mid, h - 3), 0x00C000, 2));
}

TEST_F(GdiPlusButtonRender, TheBorderRunsOneInsideTheEdge)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(hButton(), region);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 3, 0)) << "a corner of 5 cuts less than one of 10";
    DeleteObject(region);

    button().SetBorder(0xFFFF0000, 1.0f);
    auto canvas = Render();
    const int w = canvas->Width(), h = canvas->Height();
    EXPECT_TRUE(ColourNear(canvas->Rgb(w / 2, h - 2), 0xFF0000, 8));
    EXPECT_TRUE(ColourNear(canvas->Rgb(w - 2, h / 2), 0xFF0000, 8));
    EXPECT_TRUE(ColourNear(canvas->Rgb(w / 2, h - 1), kGreen, 0)) << "outside the border the parent shows";
}

TEST_F(CloseButtonRender, TheRingSurroundsTheBorderAndCornersAreCutAtTen)
{
    button().SetOuterBorder(0xFFFFFF00, 4.0f);
    button().SetBorder(0xFFFF0000, 1.0f);
    button().SetGradient(false);
    button().SetFlatColours(0xFF0000FF, 0xFF0000FF, 0xFF0000FF);
    auto canvas = Render();
    const int w = canvas->Width(), h = canvas->Height(), mid = w / 2;
    for (int y : {1, 2, h - 3, h - 2})
        EXPECT_TRUE(ColourNear(canvas->Rgb(mid, y), 0xFFFF00, 3)) << "ring at row " << y;
    EXPECT_TRUE(ColourNear(canvas->Rgb(1, h / 2), 0xFFFF00, 3));
    EXPECT_TRUE(ColourNear(canvas->Rgb(mid, h - 4), 0xFF0000, 8)) << "border inside the ring";
    EXPECT_TRUE(ColourNear(canvas->Rgb(mid, 4), 0x0000FF, 8)) << "face inside the border";
    for (int i : {0, 1})
        EXPECT_TRUE(ColourNear(canvas->Rgb(i, i), kGreen, 0)) << "corner " << i;

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    GetWindowRgn(hButton(), region);
    // The shape's corners are cut by arcs of a 10-pixel square (as flattened by GDI+).
    for (const POINT& outside : {POINT{0, 0}, POINT{3, 0}, POINT{0, 3}, POINT{w - 1, 0}, POINT{w - 4, 0}})
        EXPECT_FALSE(PtInRegion(region, outside.x, outside.y)) << outside.x << "," << outside.y;
    EXPECT_TRUE(PtInRegion(region, 5, 5));
    EXPECT_TRUE(PtInRegion(region, w / 2, 0));
    DeleteObject(region);
}

TEST_F(GdiPlusButtonRender, TheDottedFocusCueShowsOnlyWithTheFocus)
{
    const DWORD cue = 0xFF00FF;
    button().SetFocusColour(0xFF000000 | cue);
    auto unfocused = Render();
    const int h = unfocused->Height();
    EXPECT_FALSE(RowHas(*unfocused, 2, cue));
    button().SetFocus();
    auto focused = Render();
    EXPECT_TRUE(RowHas(*focused, 2, cue));
    EXPECT_TRUE(RowHas(*focused, h - 3, cue));
    EXPECT_TRUE(ColourNear(focused->Rgb(2, h / 2 + 1), cue, 0) || ColourNear(focused->Rgb(2, h / 2), cue, 0))
        << "every other pixel of the left side";
    button().SetShowFocusCue(false);
    EXPECT_FALSE(RowHas(*Render(), 2, cue));
}

TEST_F(CloseButtonRender, NeverShowsAFocusRectangle)
{
    auto unfocused = Render();
    button().SetFocus();
    ASSERT_EQ(hButton(), GetFocus());
    auto focused = Render();
    for (int y = 0; y < focused->Height(); ++y)
        for (int x = 0; x < focused->Width(); ++x)
            ASSERT_EQ(unfocused->Rgb(x, y), focused->Rgb(x, y)) << x << "," << y;
}

// Settled, the glow is 0.26 of its colour's alpha at the bottom edge, rising from nothing.
TEST_F(GdiPlusButtonRender, TheSettledDefaultGlowRisesToAQuarterOfItsColoursAlpha)
{
    button().SetPulse(false);
    button().SetGlowColour(0xC800FFFF);
    SendMessageA(hButton(), WM_TIMER, CGdiPlusButton::kGlowTimerId, 0);

    Gdiplus::Bitmap bitmap(20, 200, PixelFormat32bppARGB);
    std::shared_ptr<Gdiplus::Graphics> graphics(Gdiplus::Graphics::FromImage(&bitmap));
    Gdiplus::Rect rc(0, 0, 20, 200);
    button().DrawDefaultGlow(graphics, &rc);
    const DWORD bottom = PixelOf(bitmap, 10, 199);
    EXPECT_NEAR(52, static_cast<int>(bottom >> 24), 2) << "0.26 of 200";
    EXPECT_EQ(0x00FFFFu, bottom & 0xFFFFFF);
    EXPECT_LE(PixelOf(bitmap, 10, 0) >> 24, 1u) << "clear at the top";
    EXPECT_NEAR(26, static_cast<int>(PixelOf(bitmap, 10, 100) >> 24), 1);

    // Drawn over a default button's face in its normal state only.
    button().SetGlowColour(0xFFFFFFFF);
    SendMessageA(hButton(), WM_TIMER, CGdiPlusButton::kGlowTimerId, 0);
    auto plain = Render();
    SendMessageA(hButton(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    auto glowing = button().Render();
    const int w = plain->Width(), h = plain->Height();
    EXPECT_GT(glowing->Rgb(w / 2, h - 3) & 0xFF, (plain->Rgb(w / 2, h - 3) & 0xFF) + 20);
    EXPECT_TRUE(ColourNear(glowing->Rgb(w / 2, 1), plain->Rgb(w / 2, 1), 1)) << "nothing at the top";
    EXPECT_TRUE(ColourNear(glowing->Rgb(0, 0), kGreen, 0)) << "kept inside the rounded face";
    SendMessageA(hButton(), WM_MOUSEMOVE, 0, At(w / 2, h / 2));
    auto hovered = button().Render();
    EXPECT_TRUE(ColourNear(hovered->Rgb(w / 2, 1), plain->Rgb(w / 2, 1), 1));
    EXPECT_LT(hovered->Rgb(w / 2, h - 3) & 0xFF, glowing->Rgb(w / 2, h - 3) & 0xFF);
}

TEST_F(GdiPlusButtonRender, TheCaptionShowsOnTheFaceAndIsGreyedWhenDisabled)
{
    button().SetGradient(false);
    button().SetFlatColours(0xFF000000, 0xFF000000, 0xFF000000);
    button().SetWindowText("WWWW");
    auto enabled = Render();
    const int w = enabled->Width(), h = enabled->Height();
    const DWORD shown = Brightest(*enabled, 4, 4, w - 4, h - 4);
    EXPECT_FALSE(ColourNear(shown, 0x000000, 100)) << std::hex << shown;
    EnableWindow(hButton(), FALSE);
    auto disabled = button().Render();
    const DWORD greyed = Brightest(*disabled, 4, 4, w - 4, h - 4);
    EXPECT_FALSE(ColourNear(greyed, shown, 40)) << std::hex << greyed << " " << shown;
    EXPECT_FALSE(ColourNear(greyed, 0x000000, 40)) << std::hex << greyed << ": the caption is still there";
}

TEST_F(GdiPlusButtonRender, AnImageIsDrawnWholeAndGreyedWhenDisabled)
{
    button().SetImage(IDR_UI_GIF, "GIF", 1.0f, CGdiPlusButton::AlignCentre);
    auto enabled = Render();
    const int w = enabled->Width(), h = enabled->Height();
    EXPECT_EQ(0xFF0000u, enabled->Rgb(w / 2 - 6, h / 2)) << "centred, red on the left";
    EXPECT_EQ(0x0000FFu, enabled->Rgb(w / 2 + 5, h / 2)) << "and blue on the right";

    // Scaled, the disabled image is the whole picture, both halves greyed to different shades.
    button().SetImage(IDR_UI_GIF, "GIF", 2.0f, CGdiPlusButton::AlignCentre);
    EnableWindow(hButton(), FALSE);
    auto disabled = button().Render();
    const DWORD left = disabled->Rgb(w / 2 - 10, h / 2), right = disabled->Rgb(w / 2 + 10, h / 2);
    EXPECT_FALSE(ColourNear(left, right, 10)) << std::hex << left << " " << right;
    EXPECT_FALSE(ColourNear(left, 0xFF0000, 60));
    EXPECT_FALSE(ColourNear(right, 0x0000FF, 60));
}

TEST_F(GdiPlusButtonRender, ACaptionStepsAsideForAnImageAtEitherEnd)
{
    button().SetWindowText("Close and Start");
    button().SetImage(IDR_UI_GIF, "GIF", 3.0f, CGdiPlusButton::AlignLeft);
    Render();
    EXPECT_EQ(48 + 5, button().drawnCaptionBox.X) << "5 pixels past the image";

    button().SetImage(IDR_UI_GIF, "GIF", 3.0f, CGdiPlusButton::AlignRight);
    Render();
    CRect rc;
    button().GetClientRect(&rc);
    const int imageLeft = rc.Width() - 48 - 5;
    EXPECT_EQ(imageLeft - 5, button().drawnCaptionBox.X + button().drawnCaptionBox.Width)
        << "ends 5 pixels before the image";
}

TEST(GdiPlusButtonPath, RoundedRectanglesEndOneInsideAndCornersFitTheRectangle)
{
    CGdiPlusButton button;
    Gdiplus::Rect bounds;
    button.MakeRoundedRectPath(3, 4, 20, 10, 5)->GetBounds(&bounds);
    EXPECT_EQ(Gdiplus::Rect(3, 4, 19, 9).X, bounds.X);
    EXPECT_EQ(4, bounds.Y);
    EXPECT_EQ(19, bounds.Width) << "right edge at x + width - 1";
    EXPECT_EQ(9, bounds.Height);

    button.MakeRoundedRectPath(0, 0, 10, 6, 50)->GetBounds(&bounds);
    EXPECT_EQ(0, bounds.X);
    EXPECT_EQ(9, bounds.Width) << "a corner larger than the rectangle is lowered to fit";
    EXPECT_EQ(5, bounds.Height);
}

} // namespace
