// The finish dialog's button and close box against a stand-in Outlook registered under App
// Paths, so that the desktop's shell, asked to start "outlook", runs it. The setup starts
// Outlook through that shell only: the button's cases wait for the bed's Explorer first.
#include "outlook/processes_enum.h"
#include "resources/resource_ids.h"
#include "tests/win/ui/finish_dialog/dialog_driver.h"
#include "tests/win/outlook/desktop_shell.h"
#include "tests/win/outlook/launcher_fixture.h"
#include "tests/win/support/modal_watcher.h"
#include "tests/win/support/wait.h"
#include "ui/finish_dialog/finish_dialog_impl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const char kCaption[] = "Vostrel Outlook Enclosa";

// Boxes other than the finish dialog itself: questions, errors.
size_t OtherBoxes(const ModalWatcher& watcher)
{
    size_t count = 0;
    for (const SeenBox& box : watcher.Boxes())
        count += box.caption != kCaption ? 1 : 0;
    return count;
}

class FinishDialogOutlook : public Launcher {
protected:
    void SetUp() override
    {
        Launcher::SetUp();
        m_registration = std::make_unique<AppPathsRegistration>(m_outlookExe);
        ASSERT_TRUE(m_registration->IsRegistered());
    }

    // The stand-in the shell started notes beside itself, as it got no arguments.
    std::string ShellMarker() const { return m_outlookExe + STANDIN_DEFAULT_MARKER_SUFFIX; }

    // The stand-in the desktop's Explorer started.
    StandIn& ShellStarted()
    {
        m_standIns.push_back(StandIn::Adopt(ShellMarker(), 10000));
        const StandIn& started = *m_standIns.back();
        EXPECT_TRUE(started.IsStarted()) << "the shell did not start the registered outlook";
        EXPECT_EQ(_stricmp(ExeNameOf(started.ParentProcessId()).c_str(), "explorer.exe"), 0)
            << "parent: " << ExeNameOf(started.ParentProcessId());
        return *m_standIns.back();
    }

    // Shows the finish dialog and presses its button as a person would; gives DoModal's result.
    INT_PTR PressTheButton()
    {
        EXPECT_TRUE(WaitForDesktopShell(kDesktopShellWaitMs)) << "Explorer never registered the desktop";
        CDlgFinishSetupImpl dialog(m_temporary.Path().c_str());
        return RunModal(dialog, kCaption, [](HWND window) {
            ASSERT_NE(window, nullptr);
            PostMessageA(GetDlgItem(window, IDC_CLOSE_AND_START), BM_CLICK, 0, 0);
            // Closing and starting Outlook may take the launcher's whole wait.
            WaitUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); }, 20000);
        });
    }

    TempDir m_temporary;
    std::unique_ptr<AppPathsRegistration> m_registration;
};

} // namespace

TEST_F(FinishDialogOutlook, TheButtonStartsOutlookWithoutAQuestionAndEndsTheDialogWith1)
{
    ModalWatcher watcher(IDNO);
    EXPECT_EQ(PressTheButton(), 1);
    ShellStarted();
    EXPECT_EQ(OtherBoxes(watcher), 0u);
    EXPECT_TRUE(IsEmptyFolder(m_temporary.Path())) << "the welcome folder is gone, pictures included";
}

TEST_F(FinishDialogOutlook, ARunningOutlookIsClosedWithoutAQuestionAndStartedAgain)
{
    StandIn& running = Start(m_outlookExe);
    ModalWatcher watcher(IDNO);
    EXPECT_EQ(PressTheButton(), 1);
    ExpectClosedOrderly(running);
    EXPECT_EQ(running.CloseRequests(), 1);
    const StandIn& started = ShellStarted();
    EXPECT_NE(started.ProcessId(), running.ProcessId());
    EXPECT_EQ(OtherBoxes(watcher), 0u);
}

TEST_F(FinishDialogOutlook, TheCloseBoxStartsNothing)
{
    StandIn& running = Start(m_outlookExe);
    CDlgFinishSetupImpl dialog(m_temporary.Path().c_str());
    const INT_PTR result = RunModal(dialog, kCaption, [](HWND window) {
        ASSERT_NE(window, nullptr);
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    // Time for a wrong close or start to show; a right one shows neither.
    WaitUntil([&] { return running.CloseRequests() > 0 || !running.IsRunning() || FileExists(ShellMarker()); }, 1000);
    ExpectUntouched(running);
    EXPECT_FALSE(FileExists(ShellMarker())) << "an Outlook was started";
}
