// The end of a successful run in the application object: GDI+, the finish dialog, its removal
// and GDI+'s shutdown. Windows Installer is replaced by a table of stand-in functions (an
// installed 32-bit Outlook and an installation that succeeds), which a real machine cannot be
// made to give on demand; everything else is real. So is a failure deep inside the dialog's
// painting or initialisation (an allocation that fails): the GDI+ call that starts every
// drawing throws on demand, reached through the same delay-load hook.
#include "app/setup_app.h"
#include "foundation/error.h"
#include "foundation/setup_log.h"
#include "tests/win/ui/finish_dialog/dialog_driver.h"
#include "tests/win/support/fake_windows_installer.h"
#include "tests/win/support/modal_watcher.h"
#include "tests/win/support/temp_dir.h"
#include "tests/win/support/wait.h"

#include <delayimp.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <new>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kCaption[] = "Vostrel Outlook Enclosa";

// Every GdiplusShutdown of the process, seen through the delay-load hook before it reaches
// gdiplus.dll (the framework imports GDI+ by delay-load).
std::vector<ULONG_PTR> g_shutdownTokens;
PfnDliHook g_frameworkHook = nullptr;

void WINAPI RecordingShutdown(ULONG_PTR token)
{
    g_shutdownTokens.push_back(token);
    using Shutdown = void(WINAPI*)(ULONG_PTR);
    auto real = reinterpret_cast<Shutdown>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("gdiplus.dll"), "GdiplusShutdown")));
    if (real != nullptr)
        real(token);
}

// What the next drawing of the process throws: set by a test, taken by the drawing.
enum class DrawingFailure { None, OutOfMemory, SetupError };
std::atomic<DrawingFailure> g_nextDrawingFails{DrawingFailure::None};
const char kDrawingErrorText[] = "The picture could not be drawn.";

Gdiplus::GpStatus WINAPI FailingCreateFromHDC(HDC dc, Gdiplus::GpGraphics** graphics)
{
    switch (g_nextDrawingFails.exchange(DrawingFailure::None)) {
    case DrawingFailure::OutOfMemory:
        throw std::bad_alloc();
    case DrawingFailure::SetupError:
        throw Error::VsExceptionText(kDrawingErrorText, nullptr, 0);
    case DrawingFailure::None:
        break;
    }
    using CreateFromHDC = Gdiplus::GpStatus(WINAPI*)(HDC, Gdiplus::GpGraphics**);
    auto real = reinterpret_cast<CreateFromHDC>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("gdiplus.dll"), "GdipCreateFromHDC")));
    return real(dc, graphics);
}

// Set by a test: what happens right before GDI+ starts, after the installation has returned.
void (*g_beforeGdiplusStarts)() = nullptr;

Gdiplus::Status WINAPI WatchedStartup(ULONG_PTR* token, const Gdiplus::GdiplusStartupInput* input,
                                      Gdiplus::GdiplusStartupOutput* output)
{
    if (g_beforeGdiplusStarts != nullptr)
        std::exchange(g_beforeGdiplusStarts, nullptr)();
    using Startup = Gdiplus::Status(WINAPI*)(ULONG_PTR*, const Gdiplus::GdiplusStartupInput*,
                                             Gdiplus::GdiplusStartupOutput*);
    auto real = reinterpret_cast<Startup>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("gdiplus.dll"), "GdiplusStartup")));
    return real(token, input, output);
}

FARPROC WINAPI WatchShutdown(unsigned notification, PDelayLoadInfo info)
{
    if (notification == dliNotePreGetProcAddress && info->dlp.fImportByName) {
        if (std::strcmp(info->dlp.szProcName, "GdiplusStartup") == 0)
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&WatchedStartup));
        if (std::strcmp(info->dlp.szProcName, "GdiplusShutdown") == 0)
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&RecordingShutdown));
        if (std::strcmp(info->dlp.szProcName, "GdipCreateFromHDC") == 0)
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FailingCreateFromHDC));
    }
    return g_frameworkHook != nullptr ? g_frameworkHook(notification, info) : nullptr;
}

const bool g_watching = [] {
    g_frameworkHook = __pfnDliNotifyHook2;
    __pfnDliNotifyHook2 = WatchShutdown;
    return true;
}();

// The run's work folder, as the installation saw its package.
std::string g_workFolder;
void NoteTheWorkFolder(const char* package, const char*)
{
    g_workFolder = package;
    g_workFolder.erase(g_workFolder.rfind('\\'));
}

// A file where the work folder was: the finish dialog cannot make its welcome folder there.
void ReplaceTheWorkFolderWithAFile()
{
    RemoveTree(g_workFolder);
    WriteFileBytes(g_workFolder, "a file where the work folder should be");
}

class FinishStep : public testing::Test {
protected:
    void SetUp() override
    {
        g_shutdownTokens.clear();
        g_nextDrawingFails = DrawingFailure::None;
        g_beforeGdiplusStarts = nullptr;
        g_workFolder.clear();
        // Only a 32-bit Outlook is installed, and the installation succeeds.
        m_msi.components["{3CE26368-6322-4ABF-B11B-458F5C450D0F}"] = {
            INSTALLSTATE_LOCAL, "C:\\Program Files\\Microsoft Office\\OUTLOOK.EXE"};
        m_msi.onInstall = NoteTheWorkFolder;
    }
    TmpDir m_temporary;
    NewWorkFolders m_workFolders;
    FakeWindowsInstaller m_msi;
};

} // namespace

TEST_F(FinishStep, AfterASuccessfulInstallationTheDialogShowsAndEverythingIsUndoneAfterIt)
{
    VsEnclosaSetupBootApp app;
    std::set<std::string> foldersWhileShown;
    BOOL initResult = TRUE;
    WithPerson(
        kCaption,
        [&](HWND dialog) {
            ASSERT_NE(dialog, nullptr) << "no finish dialog";
            foldersWhileShown = FolderEntries(g_workFolder, true);
            PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        },
        [&] { initResult = app.InitInstance(); });
    EXPECT_FALSE(initResult);
    ASSERT_EQ(m_workFolders.Paths(), std::vector<std::string>{g_workFolder});
    ASSERT_EQ(foldersWhileShown.size(), 1u) << "the welcome folder, in the work folder while the dialog is shown";
    EXPECT_EQ(foldersWhileShown.begin()->size(), 38u);
    EXPECT_TRUE(FolderEntries(g_workFolder, true).empty()) << "the welcome folder goes with the dialog";
    EXPECT_TRUE(FileExists(g_workFolder + "\\VsEnclosaSetup.msi")) << "the package stays";
    EXPECT_TRUE(FolderEntries(m_temporary.Path(), true).empty()) << "nothing in the person's temporary folder";

    EXPECT_TRUE(g_shutdownTokens.empty()) << "GDI+ runs until ExitInstance";
    EXPECT_EQ(app.ExitInstance(), ERROR_SUCCESS);
    ASSERT_EQ(g_shutdownTokens.size(), 1u);
    EXPECT_NE(g_shutdownTokens[0], 0u);
}

// The product is installed whatever befalls the finish dialog: no "Error" box, the exit code 0,
// and the log says why there was no dialog, or why it ended.
TEST_F(FinishStep, WithoutAWelcomeFolderTheRunEndsWith0AndTheLogSaysWhy)
{
    // The payloads are written, held and installed; only the welcome folder cannot be made.
    g_beforeGdiplusStarts = ReplaceTheWorkFolderWithAFile;
    VsEnclosaSetupBootApp app;
    ModalWatcher watcher(IDOK);
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.ExitInstance(), ERROR_SUCCESS);
    EXPECT_TRUE(watcher.Boxes().empty()) << watcher.Boxes().front().text;
    const std::string log = ReadFileBytes(SetupLog::Path());
    const std::string line = "Finish dialog: failed (the product is installed): Failed to create directory '" +
                             g_workFolder + "\\{";
    EXPECT_NE(log.find(line), std::string::npos) << log;
    ASSERT_EQ(g_shutdownTokens.size(), 1u) << "GDI+ was started before the dialog, so it is shut down";
    EXPECT_NE(g_shutdownTokens[0], 0u);
}

TEST_F(FinishStep, AFailureWhileTheDialogPaintsEndsItAndTheRunWith0)
{
    VsEnclosaSetupBootApp app;
    bool dialogGone = false;
    std::vector<SeenBox> boxes;
    WithPerson(
        kCaption,
        [&](HWND dialog) {
            ASSERT_NE(dialog, nullptr) << "no finish dialog";
            g_nextDrawingFails = DrawingFailure::OutOfMemory;
            InvalidateRect(dialog, nullptr, FALSE);
            dialogGone = WaitUntil([dialog] { return !IsWindow(dialog); }, 10000);
            // Nothing comes after the dialog: no box to answer by mistake.
            ModalWatcher watcher(IDOK);
            watcher.WaitForBoxes(1, 1000);
            boxes = watcher.Boxes();
        },
        [&] { app.InitInstance(); });
    EXPECT_EQ(g_nextDrawingFails, DrawingFailure::None) << "the painting never failed";
    EXPECT_TRUE(dialogGone) << "the failure ends the dialog";
    EXPECT_TRUE(boxes.empty()) << boxes.front().text;
    EXPECT_TRUE(FolderEntries(g_workFolder, true).empty()) << "the welcome folder goes with the dialog";

    EXPECT_EQ(app.ExitInstance(), ERROR_SUCCESS);
    const std::string log = ReadFileBytes(SetupLog::Path());
    EXPECT_NE(log.find("Finish dialog: failed (the product is installed): unknown error"), std::string::npos) << log;
    ASSERT_EQ(g_shutdownTokens.size(), 1u) << "GDI+ is shut down as on any other end";
}

TEST_F(FinishStep, AFailureWhileTheDialogInitialisesIsLogged)
{
    VsEnclosaSetupBootApp app;
    ModalWatcher watcher(IDOK);
    // The first drawing of the dialog's life measures the button's caption while it initialises.
    g_nextDrawingFails = DrawingFailure::SetupError;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(g_nextDrawingFails, DrawingFailure::None) << "the initialisation never failed";
    EXPECT_TRUE(watcher.Boxes().empty()) << watcher.Boxes().front().text;
    EXPECT_TRUE(FolderEntries(g_workFolder, true).empty()) << "the welcome folder goes with the dialog";

    EXPECT_EQ(app.ExitInstance(), ERROR_SUCCESS);
    const std::string log = ReadFileBytes(SetupLog::Path());
    EXPECT_NE(log.find(std::string("Finish dialog: failed (the product is installed): ") + kDrawingErrorText),
              std::string::npos) << log;
    ASSERT_EQ(g_shutdownTokens.size(), 1u);
}
