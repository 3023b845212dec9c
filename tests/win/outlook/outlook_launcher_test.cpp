// The launcher against real processes: a stand-in Outlook built with the tests, found through
// the real process snapshot, closed through real window messages.
#include "outlook/outlook_launcher.h"
#include "outlook/processes_enum.h"
#include "tests/win/outlook/fake_toolhelp_module.h"
#include "tests/win/outlook/launcher_fixture.h"
#include "tests/win/support/modal_watcher.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A top-level window of this process that counts the close requests it gets.
class OwnWindow {
public:
    OwnWindow()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VsLauncherTestWindow";
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(0, windowClass.lpszClassName, "Not Outlook", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                   nullptr, nullptr, windowClass.hInstance, nullptr);
        s_closeRequests = 0;
    }
    ~OwnWindow() { DestroyWindow(m_window); }
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;

    static int s_closeRequests;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message != WM_CLOSE)
            return DefWindowProcA(window, message, wParam, lParam);
        ++s_closeRequests;
        return 0;
    }

    HWND m_window = nullptr;
};
int OwnWindow::s_closeRequests = 0;

} // namespace

TEST_F(Launcher, YesClosesEveryWindowOfOutlookAndNothingElse)
{
    StandIn& outlook = Start(m_outlookExe, "--windows=3");
    StandIn& bystander = Start(CopyStandIn(m_folder.Path(), "bystander.exe"), "--windows=2");
    const OwnWindow ownWindow;
    ModalWatcher watcher(IDYES);

    EXPECT_TRUE(COutlookLauncher().CloseOutlook("  Outlook must close first.\nClose it now? \n"));

    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Outlook must close first.\nClose it now?");
    EXPECT_EQ(boxes[0].caption, "outlook_tests");
    EXPECT_EQ(boxes[0].buttonIds, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(boxes[0].defaultButtonId, IDNO);
    EXPECT_EQ(boxes[0].icon, StockIcon(IDI_QUESTION));

    EXPECT_EQ(outlook.CloseRequests(), 3);
    ExpectClosedOrderly(outlook);
    ExpectUntouched(bystander);
    EXPECT_EQ(OwnWindow::s_closeRequests, 0);
}

TEST_F(Launcher, NoLeavesOutlookAlone)
{
    StandIn& outlook = Start(m_outlookExe);
    ModalWatcher watcher(IDNO);
    EXPECT_FALSE(COutlookLauncher().CloseOutlook("Close Outlook?"));
    EXPECT_EQ(watcher.Boxes().size(), 1u);
    ExpectUntouched(outlook);
}

TEST_F(Launcher, BlankQuestionClosesWithoutAsking)
{
    StandIn& outlook = Start(m_outlookExe);
    ModalWatcher watcher(IDNO);
    EXPECT_TRUE(COutlookLauncher().CloseOutlook(" \r\n\t \n"));
    EXPECT_TRUE(watcher.Boxes().empty());
    ExpectClosedOrderly(outlook);
}

TEST_F(Launcher, OnlyTheFirstOutlookOfTheSnapshotIsDealtWithWhateverTheCaseOfItsName)
{
    const std::string upperFolder = m_folder / "upper";
    ASSERT_TRUE(CreateDirectoryA(upperFolder.c_str(), nullptr));
    StandIn& lower = Start(m_outlookExe);
    StandIn& upper = Start(CopyStandIn(upperFolder, "OUTLOOK.EXE"));

    CProcessesEnum processes;
    processes.Refresh();
    PROCESSENTRY32 first = {};
    ASSERT_TRUE(processes.FindByName("outlook.exe", &first));
    for (const PROCESSENTRY32& entry : processes) {
        if (entry.th32ProcessID == upper.ProcessId()) {
            EXPECT_STREQ(entry.szExeFile, "OUTLOOK.EXE");
        }
    }
    const bool lowerFirst = first.th32ProcessID == lower.ProcessId();
    const StandIn& firstStandIn = lowerFirst ? lower : upper;
    const StandIn& secondStandIn = lowerFirst ? upper : lower;

    EXPECT_TRUE(COutlookLauncher().CloseOutlook(""));
    ExpectClosedOrderly(firstStandIn);
    ExpectUntouched(secondStandIn);

    EXPECT_TRUE(COutlookLauncher().CloseOutlook(""));
    ExpectClosedOrderly(secondStandIn);
}

TEST_F(Launcher, OutlookThatAsksItsOwnQuestionEndsWhenItIsAnswered)
{
    StandIn& outlook = Start(m_outlookExe, "--mode=ask");
    ModalWatcher outlookWatcher(IDYES, outlook.ProcessId());
    EXPECT_TRUE(COutlookLauncher().CloseOutlook(""));
    const auto boxes = outlookWatcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, STANDIN_OWN_QUESTION);
    ExpectClosedOrderly(outlook);
}

// The real platform cannot be made to refuse a snapshot on demand, so the launcher gets the
// fake process-list module (or modules without the functions) instead of Kernel32.dll.
TEST_F(Launcher, FailedSnapshotCountsAsOutlookNotRunning)
{
    StandIn& outlook = Start(m_outlookExe);
    const FakeToolhelpModule fake;
    ASSERT_TRUE(fake.IsLoaded());
    ModalWatcher watcher(IDYES);
    const auto closeWith = [](HMODULE (*load)()) {
        const ScopedToolHelpFunctions toolHelp({load});
        return COutlookLauncher().CloseOutlook("Close Outlook?");
    };

    fake.SetMode(FakeSnapshotRefused);
    EXPECT_TRUE(closeWith(FakeToolhelpModule::Load));
    fake.SetMode(FakeFirstProcessFails);
    EXPECT_TRUE(closeWith(FakeToolhelpModule::Load));
    EXPECT_TRUE(closeWith(LoadModuleWithoutToolhelp));
    EXPECT_TRUE(closeWith(LoadMissingModule));

    EXPECT_TRUE(watcher.Boxes().empty());
    ExpectUntouched(outlook);
}

// The two cases that wait out the full 10 seconds for the process, kept together.
TEST_F(Launcher, SlowOutlookIgnoringCloseRequestsIsTerminatedWithExitCodeZero)
{
    StandIn& outlook = Start(m_outlookExe, "--mode=ignore --windows=2");
    EXPECT_TRUE(COutlookLauncher().CloseOutlook(""));
    EXPECT_EQ(outlook.CloseRequests(), 2);
    ExpectTerminated(outlook);
}

TEST_F(Launcher, SlowOutlookWithAnUnansweredQuestionOfItsOwnIsTerminated)
{
    StandIn& outlook = Start(m_outlookExe, "--mode=ask");
    ModalWatcher outlookWatcher(0, outlook.ProcessId());
    EXPECT_TRUE(COutlookLauncher().CloseOutlook(""));
    EXPECT_EQ(outlookWatcher.Boxes().size(), 1u);
    ExpectTerminated(outlook);
}
