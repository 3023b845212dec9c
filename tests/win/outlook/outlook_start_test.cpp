// Starting Outlook: only through the desktop's Explorer, which finds the stand-in through the
// App Paths key; where there is no desktop shell to ask, Outlook is not started at all (the
// elevated setup does not start it itself).
#include "foundation/com_init_guard.h"
#include "outlook/outlook_launcher.h"
#include "tests/win/outlook/desktop_shell.h"
#include "tests/win/outlook/launcher_fixture.h"
#include "tests/win/support/modal_watcher.h"
#include "tests/win/support/wait.h"

#include <exdisp.h>

#include <thread>

namespace {

// Refuses to create objects of one class for this thread's apartment while it lives.
class RefusedClass final : public IClassFactory {
public:
    explicit RefusedClass(REFCLSID id)
    {
        m_registered = SUCCEEDED(CoRegisterClassObject(id, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_cookie));
    }
    ~RefusedClass()
    {
        if (m_registered)
            CoRevokeClassObject(m_cookie);
    }
    RefusedClass(const RefusedClass&) = delete;
    RefusedClass& operator=(const RefusedClass&) = delete;

    bool IsRegistered() const { return m_registered; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        *object = id == IID_IUnknown || id == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
        return *object != nullptr ? S_OK : E_NOINTERFACE;
    }
    // Lives on the test's stack, longer than its registration.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** object) override
    {
        *object = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    DWORD m_cookie = 0;
    bool m_registered = false;
};

} // namespace

class OutlookStart : public Launcher {
protected:
    void SetUp() override
    {
        Launcher::SetUp();
        m_registration = std::make_unique<AppPathsRegistration>(m_outlookExe);
        ASSERT_TRUE(m_registration->IsRegistered());
    }

    // The stand-in the shell started: it notes beside itself, as it got no arguments.
    StandIn& ShellStarted()
    {
        m_standIns.push_back(StandIn::Adopt(m_outlookExe + STANDIN_DEFAULT_MARKER_SUFFIX, 10000));
        EXPECT_TRUE(m_standIns.back()->IsStarted()) << "the shell did not start the registered outlook";
        return *m_standIns.back();
    }

    std::unique_ptr<AppPathsRegistration> m_registration;
};

TEST_F(OutlookStart, WithoutADesktopShellOutlookIsNotStartedAndTheLogSaysSo)
{
    // The desktop's Explorer cannot be taken away on demand; COM's own class registration
    // makes ShellWindows refuse for this thread's apartment instead. Wine enforces no
    // elevation, so what this shows is that nothing is started, not with which rights.
    const ComInitGuard com;
    const RefusedClass noShellWindows(CLSID_ShellWindows);
    ASSERT_TRUE(noShellWindows.IsRegistered());
    const SetupLogHere log;
    ModalWatcher watcher(IDNO);

    COutlookLauncher().StartOutlook();

    // Time for a start to show; the registered outlook would note its start beside itself.
    const std::string marker = m_outlookExe + STANDIN_DEFAULT_MARKER_SUFFIX;
    if (WaitUntil([&] { return FileExists(marker); }, 2000)) {
        ADD_FAILURE() << "an Outlook was started";
        ShellStarted();  // ended with the fixture, so that the next case finds none running
    }
    EXPECT_TRUE(log.Contains("Outlook: not running")) << log.Text();
    EXPECT_TRUE(log.Contains("Outlook: not started; the desktop's shell cannot start it")) << log.Text();
    EXPECT_TRUE(watcher.Boxes().empty());
}

TEST_F(OutlookStart, TheDesktopsExplorerStartsOutlookWhenThereIsOne)
{
    ASSERT_TRUE(WaitForDesktopShell(kDesktopShellWaitMs)) << "Explorer never registered the desktop";
    const SetupLogHere log;

    COutlookLauncher().StartOutlook();

    const StandIn& outlook = ShellStarted();
    EXPECT_NE(outlook.ParentProcessId(), GetCurrentProcessId());
    EXPECT_EQ(_stricmp(ExeNameOf(outlook.ParentProcessId()).c_str(), "explorer.exe"), 0)
        << "parent: " << ExeNameOf(outlook.ParentProcessId());
    EXPECT_TRUE(log.Contains("Outlook: started through the desktop's shell")) << log.Text();
}

TEST_F(OutlookStart, RunningOutlookIsClosedWithoutAskingAndStartedAfresh)
{
    ASSERT_TRUE(WaitForDesktopShell(kDesktopShellWaitMs)) << "Explorer never registered the desktop";
    StandIn& running = Start(m_outlookExe);
    ModalWatcher watcher(IDNO);

    COutlookLauncher().StartOutlook();

    ExpectClosedOrderly(running);
    const StandIn& started = ShellStarted();
    EXPECT_NE(started.ProcessId(), running.ProcessId());
    EXPECT_EQ(_stricmp(ExeNameOf(started.ParentProcessId()).c_str(), "explorer.exe"), 0)
        << "parent: " << ExeNameOf(started.ParentProcessId());
    EXPECT_TRUE(watcher.Boxes().empty());
}

// The COM state of a thread is left as the guard found it; each case on a thread of its own.
TEST(ComInitGuard, UndoesOnlyWhatItDid)
{
    std::thread([] {
        {
            const ComInitGuard guard;
            EXPECT_TRUE(guard.IsUsable());
        }
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK) << "left initialised";
        CoUninitialize();
    }).join();
    std::thread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        {
            const ComInitGuard guard;
            EXPECT_TRUE(guard.IsUsable());
        }
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_FALSE) << "the caller's own was undone";
        CoUninitialize();
        CoUninitialize();
    }).join();
    std::thread([] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            const ComInitGuard guard;
            EXPECT_TRUE(guard.IsUsable());
        }
        EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE) << "the caller's own was undone";
        CoUninitialize();
        CoUninitialize();
    }).join();
}
