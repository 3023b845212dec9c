#include "foundation/error.h"
#include "resources/resource_ids.h"
#include "tests/win/ui/finish_dialog/dialog_driver.h"
#include "tests/win/support/temp_dir.h"
#include "tests/win/ui/painted/ui_test_support.h"
#include "tests/capture/window_text.h"
#include "ui/finish_dialog/finish_dialog_impl.h"
#include "ui/painted/display_scale.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kCaption[] = "Vostrel Outlook Enclosa";
const char kButtonText[] = "Close and Start MS Outlook";
const char* const kPictures[] = {"img1.jpg", "img2.jpg", "img3.jpg", "title-enc.jpg", "bg-main.jpg",
                                 "tick.jpg", "main-bullet.gif", "1.gif", "2.gif"};

// Everything a person sees of the shown dialog drawn at dpi, and the page files behind it.
void ExpectDialogAsDesigned(HWND dialog, const std::string& folder, UINT dpi = kDesignDpi)
{
    EXPECT_EQ(WindowText(dialog), kCaption);
    EXPECT_EQ(GetWindowLongA(dialog, GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(reinterpret_cast<HICON>(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0)), nullptr);
    EXPECT_EQ(SendMessageA(dialog, WM_GETICON, ICON_BIG, 0), SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0));

    RECT client{};
    GetClientRect(dialog, &client);
    const int width = client.right;
    const int height = client.bottom;
    const int band = height - ScaleToDpi(50, dpi);

    const HWND view = GetDlgItem(dialog, 1000);
    ASSERT_NE(view, nullptr);
    const RECT viewRect = ChildRect(view);
    EXPECT_EQ(viewRect.left, 0);
    EXPECT_EQ(viewRect.top, 0);
    EXPECT_EQ(viewRect.right, width);
    EXPECT_EQ(viewRect.bottom, band);
    EXPECT_EQ(GetWindowLongA(view, GWL_STYLE) & (WS_CHILD | WS_VISIBLE | WS_BORDER), WS_CHILD | WS_VISIBLE);

    const HWND button = GetDlgItem(dialog, IDC_CLOSE_AND_START);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(WindowText(button), kButtonText);
    const RECT buttonRect = ChildRect(button);
    EXPECT_NEAR(buttonRect.right, width - ScaleToDpi(5, dpi), 1);
    EXPECT_NEAR(buttonRect.bottom, height - ScaleToDpi(5, dpi), 1);
    EXPECT_GT(buttonRect.top, band) << "the button sits inside the band";
    EXPECT_GT(buttonRect.right - buttonRect.left, 100) << "sized to its caption";

    // The frame the dialog paints: a grey line (2 pixels at 96 DPI) on the view's bottom edge
    // over a gradient from light to darker grey.
    DibCanvas frame(width, height, 0x00123456);
    SendMessageA(dialog, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(frame.Dc()), PRF_CLIENT);
    const int line = ScaleToDpi(2, dpi);
    for (int row = band - 1; row <= band + line - 2; ++row)
        EXPECT_TRUE(ColourNear(frame.Rgb(10, row), 0x808080, 8)) << row;
    EXPECT_TRUE(ColourNear(frame.Rgb(10, band + line), 0xFAFAFA, 8));
    EXPECT_TRUE(ColourNear(frame.Rgb(10, height - 1), 0xD9D9D9, 8));
    EXPECT_TRUE(ColourNear(frame.Rgb(width / 2, band), 0x808080, 8));
    // On screen the line shows right under the view.
    EXPECT_TRUE(ColourNear(ScreenPixel(dialog, 10, band), 0x808080, 8));

    EXPECT_TRUE(FileExists(folder + "\\index.htm"));
    EXPECT_TRUE(FileExists(folder + "\\welcome_style.css"));
    for (const char* picture : kPictures)
        EXPECT_TRUE(FileExists(folder + "\\images\\" + picture)) << picture;
}

} // namespace

TEST(FinishDialog, ShowsThePageOverTheBandAndTheCloseBoxEndsItWithCancel)
{
    TempDir temporary;
    {
        CDlgFinishSetupImpl dialog(temporary.Path().c_str());
        const std::string folder = dialog.GetWelcomeFolder().GetString();
        EXPECT_EQ(folder.substr(0, temporary.Path().size() + 1), temporary.Path() + "\\");
        EXPECT_TRUE(DirectoryExists(folder)) << "made with the dialog object";

        const INT_PTR result = RunModal(dialog, kCaption, [&](HWND window) {
            ASSERT_NE(window, nullptr) << "no dialog";
            ExpectDialogAsDesigned(window, folder);
            SaveWindowPicture(window, ArtifactsFolder() + "\\finish_dialog.png");
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_TRUE(DirectoryExists(folder)) << "removed with the object, not with the window";
    }
    EXPECT_TRUE(IsEmptyFolder(temporary.Path())) << "the welcome folder and its pictures are gone";
}

// Under Wine no display of another scale can be had (Xvfb has one screen, whose scale Wine reads
// once per process): Windows' own message for a move to a display at 150 % is sent instead.
TEST(FinishDialog, FollowsAMoveToADisplayOfOneAndAHalfTimesTheScale)
{
    TempDir temporary;
    CDlgFinishSetupImpl dialog(temporary.Path().c_str());
    const std::string folder = dialog.GetWelcomeFolder().GetString();
    RunModal(dialog, kCaption, [&](HWND window) {
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(WindowDpi(window), kDesignDpi) << "the test bed's display";
        const HWND button = GetDlgItem(window, IDC_CLOSE_AND_START);
        const RECT before = ChildRect(button);
        RECT suggested{};
        GetWindowRect(window, &suggested);
        // At the other display's top-left corner, so that as much as can be shows in the picture.
        suggested = {0, 0, (suggested.right - suggested.left) * 3 / 2, (suggested.bottom - suggested.top) * 3 / 2};
        SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
        WaitForPostedMessages(window);

        RECT now{};
        GetWindowRect(window, &now);
        EXPECT_TRUE(EqualRect(&now, &suggested)) << "the window takes the rectangle Windows suggests";
        ExpectDialogAsDesigned(window, folder, 144);
        const RECT after = ChildRect(button);
        EXPECT_NEAR(after.right - after.left, (before.right - before.left) * 3 / 2, 3) << "the button with its caption";
        EXPECT_NEAR(after.bottom - after.top, (before.bottom - before.top) * 3 / 2, 3);
        SaveWindowPicture(window, ArtifactsFolder() + "\\finish_dialog_144dpi.png");
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
}

TEST(FinishDialog, EscapeLeavesItOpen)
{
    TempDir temporary;
    CDlgFinishSetupImpl dialog(temporary.Path().c_str());
    bool stayedOpen = false;
    const INT_PTR result = RunModal(dialog, kCaption, [&](HWND window) {
        ASSERT_NE(window, nullptr);
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
        for (HWND target : {thread.hwndFocus, window, GetDlgItem(window, IDC_CLOSE_AND_START), GetDlgItem(window, 1000)}) {
            if (target == nullptr)
                continue;
            PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        }
        WaitForPostedMessages(window);
        stayedOpen = IsWindowVisible(window) != FALSE;
        PostMessageA(window, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(result, IDCANCEL) << "ended by the close command, not by Escape";
}

TEST(FinishDialog, WithoutAWelcomeFolderThereIsNoDialog)
{
    TempDir temporary;
    WriteFileBytes(temporary / "blocker", "a file where the work folder should be");
    try {
        CDlgFinishSetupImpl dialog((temporary / "blocker").c_str());
        FAIL() << "a dialog without its folder";
    } catch (const Error::VsExceptionText& error) {
        const std::string text = error.GetText().GetString();
        const std::string start = "Failed to create directory '" + temporary / "blocker\\{";
        EXPECT_EQ(text.substr(0, start.size()), start) << text;
        EXPECT_EQ(text.size(), start.size() + 37 + 1) << text;
        EXPECT_EQ(text.back(), '\'');
    }
    EXPECT_EQ(WaitForDialog(kCaption, 200), nullptr);
}

TEST(FinishDialog, RemovalLeavesWhatIsHeldAndIgnoresWhatIsGone)
{
    TempDir temporary;
    std::string held;
    HANDLE file = INVALID_HANDLE_VALUE;
    {
        CDlgFinishSetupImpl dialog(temporary.Path().c_str());
        const std::string folder = dialog.GetWelcomeFolder().GetString();
        dialog.WriteWelcomePage((folder + "\\index.htm").c_str());
        dialog.WriteWelcomeAssets();
        held = folder + "\\images\\img1.jpg";
        file = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
    }
    CloseHandle(file);
    EXPECT_TRUE(FileExists(held)) << "the file in use stays, with its folders";
    EXPECT_FALSE(FileExists(held.substr(0, held.size() - 8) + "img2.jpg"));

    {
        CDlgFinishSetupImpl dialog(temporary.Path().c_str());
        RemoveTree(dialog.GetWelcomeFolder().GetString());
    } // nothing left to remove: nothing happens
}
