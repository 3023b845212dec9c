// The launcher against real processes: a stand-in Outlook built with the tests, found through
// the real process snapshot, closed through real window messages.
#include "foundation/error.h"
#include "framework/platform_boundary.h"
#include "outlook/outlook_launcher.h"
#include "outlook/processes_enum.h"
#include "tests/win/outlook/fake_toolhelp_module.h"
#include "tests/win/outlook/launcher_fixture.h"
#include "tests/win/support/modal_watcher.h"
#include "tests/win/support/wait.h"
#include "tests/capture/window_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

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

// The message of the exception pending for this thread, which is thrown and so taken; empty
// when there is none.
std::string TakePendingMessage()
{
    try {
        RethrowPendingException();
    } catch (const std::exception& error) {
        return error.what();
    }
    return std::string();
}

// Ends this test program with a failure when the guarded block has not ended within the time.
// Where the launcher deals with this very process as Outlook, a fault would have it wait for
// this process and terminate it with exit code 0, which CTest would take for a pass.
class EndGuard {
public:
    EndGuard(const char* what, DWORD milliseconds)
        : m_thread([this, what, milliseconds] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_done; }))
                  return;
              std::fprintf(stderr, "\nFAILED: %s still running after %lu ms\n", what,
                           static_cast<unsigned long>(milliseconds));
              std::fflush(stderr);
              ExitProcess(4);
          })
    {
    }
    ~EndGuard()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    EndGuard(const EndGuard&) = delete;
    EndGuard& operator=(const EndGuard&) = delete;

private:
    bool m_done = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
};

} // namespace

TEST_F(Launcher, YesClosesEveryWindowOfOutlookAndNothingElse)
{
    StandIn& outlook = Start(m_outlookExe, "--windows=3");
    StandIn& bystander = Start(CopyStandIn(m_folder.Path(), "bystander.exe"), "--windows=2");
    const OwnWindow ownWindow;
    ModalWatcher watcher(IDYES);

    EXPECT_EQ(COutlookLauncher().CloseOutlook(AskFirst::Yes, "  Outlook must close first.\nClose it now? \n"),
              OutlookOutcome::Closed);

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
    EXPECT_EQ(COutlookLauncher().CloseOutlook(AskFirst::Yes, "Close Outlook?"), OutlookOutcome::Declined);
    EXPECT_EQ(watcher.Boxes().size(), 1u);
    ExpectUntouched(outlook);
}

TEST_F(Launcher, WithoutAskingItClosesAndShowsNoBox)
{
    StandIn& outlook = Start(m_outlookExe);
    ModalWatcher watcher(IDNO);
    EXPECT_EQ(COutlookLauncher().CloseOutlook(AskFirst::No, "Not asked."), OutlookOutcome::Closed);
    EXPECT_TRUE(watcher.Boxes().empty());
    ExpectClosedOrderly(outlook);
}

TEST_F(Launcher, EveryOutlookOfTheSessionIsClosedAfterOneQuestionWhateverTheCaseOfItsName)
{
    const std::string upperFolder = m_folder / "upper";
    ASSERT_TRUE(CreateDirectoryA(upperFolder.c_str(), nullptr));
    StandIn& lower = Start(m_outlookExe);
    StandIn& upper = Start(CopyStandIn(upperFolder, "OUTLOOK.EXE"));
    ModalWatcher watcher(IDYES);

    EXPECT_EQ(COutlookLauncher().CloseOutlook(AskFirst::Yes, "Close Outlook?"), OutlookOutcome::Closed);
    EXPECT_EQ(watcher.Boxes().size(), 1u);
    ExpectClosedOrderly(lower);
    ExpectClosedOrderly(upper);
}

TEST_F(Launcher, OutlookThatAsksItsOwnQuestionEndsWhenItIsAnswered)
{
    StandIn& outlook = Start(m_outlookExe, "--mode=ask");
    ModalWatcher outlookWatcher(IDYES, outlook.ProcessId());
    EXPECT_EQ(COutlookLauncher().CloseOutlook(AskFirst::No), OutlookOutcome::Closed);
    const auto boxes = outlookWatcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, STANDIN_OWN_QUESTION);
    ExpectClosedOrderly(outlook);
}

// A person closes Outlook by hand while the question is open, and answers Yes afterwards. The
// launcher holds the process from the snapshot on: its id stays taken while the question is
// open, even once the process has ended and the test has let go of its own handle, so no
// other program can get it; after Yes nothing is asked to close, waited for or terminated.
// That the id would otherwise go to another program, which the launcher would then close and
// terminate, cannot be brought about on demand: the platform hands out ids as it likes.
TEST_F(Launcher, OutlookClosedByHandWhileTheQuestionIsOpenIsLeftAlone)
{
    const SetupLogHere log;
    StandIn& outlook = Start(m_outlookExe, "--windows=2");
    StandIn& bystander = Start(CopyStandIn(m_folder.Path(), "bystander.exe"), "--windows=2");
    const OwnWindow ownWindow;
    const DWORD outlookId = outlook.ProcessId();
    ModalWatcher watcher(0);
    ULONGLONG answeredAt = 0;

    std::thread person([&] {
        if (!watcher.WaitForBoxes(1, 10000)) {
            ADD_FAILURE() << "no question";
            return;
        }
        for (HWND window : TopLevelWindowsOf({outlookId}))
            PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(outlook.WaitForExit(5000)) << "Outlook did not end by hand";
        EXPECT_TRUE(outlook.EndedOrderly());
        EXPECT_EQ(outlook.CloseRequests(), 2) << "the person's own two";
        EXPECT_EQ(outlook.ExitCode(), kStandInOrderlyExit);
        outlook.ReleaseHandle();
        // Wine frees the id of an ended process a moment after its last handle is closed (half
        // a second here): time enough for it to go, were nothing else holding it.
        EXPECT_FALSE(WaitUntil(
            [&] { return !UniqueProcessHandle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, outlookId)); },
            2000))
            << "the ended Outlook's id went free while the question was open";
        const UniqueProcessHandle held(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, outlookId));
        DWORD exitCode = 0;
        EXPECT_TRUE(held && GetExitCodeProcess(held.Get(), &exitCode) && exitCode == kStandInOrderlyExit)
            << "the id is not the ended Outlook's";
        answeredAt = GetTickCount64();
        PostMessageA(watcher.Boxes()[0].window, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    });
    const OutlookOutcome outcome = COutlookLauncher().CloseOutlook(AskFirst::Yes, "Close Outlook?");
    const ULONGLONG returnedAt = GetTickCount64();
    person.join();

    EXPECT_EQ(outcome, OutlookOutcome::Closed);
    EXPECT_LT(returnedAt - answeredAt, 3000u) << "waited for an Outlook that had ended";
    ExpectUntouched(bystander);
    EXPECT_EQ(OwnWindow::s_closeRequests, 0);
    EXPECT_TRUE(log.Contains("Outlook: asked to close it, the person answered Yes")) << log.Text();
    EXPECT_TRUE(log.Contains("Outlook: it ended by itself meanwhile; nothing to close")) << log.Text();
    EXPECT_FALSE(log.Contains("Outlook: closed")) << log.Text();
    EXPECT_FALSE(log.Contains("still running after")) << log.Text();
}

// CloseOutlook may run inside a window procedure (the finish dialog's button), whose modal
// loop rethrows what an earlier procedure kept: that stays pending. And the list's name is not
// trusted: here the fake process list names this test program outlook.exe, whose image is not
// Outlook's, so it is neither asked to close (its window counts) nor ended.
TEST_F(Launcher, AnExceptionKeptBeforeStaysPendingAndAProcessWhoseImageIsNotOutlooksIsLeftAlone)
{
    StandIn& outlook = Start(m_outlookExe);
    {
        const SetupLogHere log;
        KeepPendingException(std::make_exception_ptr(std::runtime_error("kept while painting")));
        EXPECT_EQ(COutlookLauncher().CloseOutlook(AskFirst::No), OutlookOutcome::Closed);
        ExpectClosedOrderly(outlook);
        EXPECT_TRUE(log.Contains("Outlook: closed")) << log.Text();
        EXPECT_EQ(TakePendingMessage(), "kept while painting");
        EXPECT_FALSE(HasPendingException());
    }
    {
        const SetupLogHere log;
        const FakeToolhelpModule fake;
        ASSERT_TRUE(fake.IsLoaded());
        fake.SetMode(FakeThisProcessAsOutlook);
        const ScopedToolHelpFunctions toolHelp({FakeToolhelpModule::Load});
        const OwnWindow ownWindow;
        {
            const EndGuard guard("CloseOutlook of this very process", 5000);
            EXPECT_EQ(COutlookLauncher().CloseOutlook(AskFirst::No), OutlookOutcome::Closed);
        }
        EXPECT_EQ(OwnWindow::s_closeRequests, 0);
        EXPECT_TRUE(log.Contains("is not Outlook by its image; left alone")) << log.Text();
    }
}

// The real platform cannot be made to refuse a snapshot on demand, so the launcher gets the
// fake process-list module (or modules without the functions) instead of Kernel32.dll. A list
// that cannot be read is an error: nothing is asked, closed or taken for not running.
TEST_F(Launcher, FailedSnapshotIsAnErrorAndNothingIsAskedOrClosed)
{
    StandIn& outlook = Start(m_outlookExe);
    const FakeToolhelpModule fake;
    ASSERT_TRUE(fake.IsLoaded());
    ModalWatcher watcher(IDYES);
    for (const FakeToolhelpMode mode : {FakeSnapshotRefused, FakeFirstProcessFails}) {
        fake.SetMode(mode);
        const ScopedToolHelpFunctions toolHelp({FakeToolhelpModule::Load});
        EXPECT_THROW(COutlookLauncher().CloseOutlook(AskFirst::Yes, "Close Outlook?"), Error::VsExceptionCommon);
        EXPECT_THROW(COutlookLauncher().IsOutlookRunning(), Error::VsExceptionCommon);
    }
    for (HMODULE (*load)() : {LoadModuleWithoutToolhelp, LoadMissingModule}) {
        const ScopedToolHelpFunctions toolHelp({load});
        EXPECT_THROW(COutlookLauncher().CloseOutlook(AskFirst::Yes, "Close Outlook?"), Error::VsExceptionCommon);
    }
    EXPECT_TRUE(watcher.Boxes().empty());
    ExpectUntouched(outlook);
}

// What the list names outlook.exe but is not the setup's to close. Wine has one session and
// opens every process: another session comes from the session function, and an Outlook that
// cannot be opened from the fake list, which names one under an id no process has. Its open
// fails as another user's Outlook's would, and the list read again still names it, as it would
// name that one; so it runs: the question is asked, it is asked to close by its id, and once
// the list still names it after the wait it is never taken for closed.
TEST_F(Launcher, AnotherSessionsOutlookIsLeftAloneOneThatCannotBeOpenedStillRuns)
{
    StandIn& outlook = Start(m_outlookExe);
    const SetupLogHere log;
    ModalWatcher watcher(IDYES);
    {
        ToolHelpFunctions anotherSession = ToolHelp();
        anotherSession.SessionOf = [](DWORD processId, DWORD* session) {
            *session = processId == GetCurrentProcessId() ? 1 : 2;
            return true;
        };
        const ScopedToolHelpFunctions sessions(anotherSession);
        EXPECT_FALSE(COutlookLauncher().IsOutlookRunning());
        EXPECT_EQ(COutlookLauncher().CloseOutlook(AskFirst::Yes, "Close Outlook?"), OutlookOutcome::Closed);
        EXPECT_TRUE(watcher.Boxes().empty());
        ExpectUntouched(outlook);
        EXPECT_TRUE(log.Contains("runs in session 2, not in this one (1); left alone")) << log.Text();
    }
    const FakeToolhelpModule fake;
    ASSERT_TRUE(fake.IsLoaded());
    fake.SetMode(FakeUnopenableOutlook);
    const ScopedToolHelpFunctions toolHelp({FakeToolhelpModule::Load});
    EXPECT_TRUE(COutlookLauncher().IsOutlookRunning());
    EXPECT_EQ(COutlookLauncher().CloseOutlook(AskFirst::Yes, "Close Outlook?"), OutlookOutcome::StillRunning);
    EXPECT_EQ(watcher.Boxes().size(), 1u);
    EXPECT_TRUE(log.Contains("Outlook: process " + std::to_string(kFakeUnopenableId) +
                             " still running after 10000 ms; the setup cannot end it"))
        << log.Text();
}

// The two cases that wait out the full 10 seconds for the process, kept together. Every
// Outlook is asked to close before the one wait: the one that closes is not ended.
TEST_F(Launcher, SlowOutlookIgnoringCloseRequestsIsTerminatedWithExitCodeZero)
{
    StandIn& outlook = Start(m_outlookExe, "--mode=ignore --windows=2");
    StandIn& closing = Start(m_outlookExe);
    EXPECT_EQ(COutlookLauncher().CloseOutlook(AskFirst::No), OutlookOutcome::Closed);
    EXPECT_EQ(outlook.CloseRequests(), 2);
    ExpectTerminated(outlook);
    ExpectClosedOrderly(closing);
}

TEST_F(Launcher, SlowOutlookWithAnUnansweredQuestionOfItsOwnIsTerminated)
{
    StandIn& outlook = Start(m_outlookExe, "--mode=ask");
    ModalWatcher outlookWatcher(0, outlook.ProcessId());
    EXPECT_EQ(COutlookLauncher().CloseOutlook(AskFirst::No), OutlookOutcome::Closed);
    EXPECT_EQ(outlookWatcher.Boxes().size(), 1u);
    ExpectTerminated(outlook);
}
