// Starting Outlook: through the desktop's Explorer when there is one, else through
// ShellExecuteA in this process; either way the shell's own resolution of "outlook" through
// the App Paths key finds the stand-in.
#include "foundation/com_init_guard.h"
#include "outlook/outlook_launcher.h"
#include "tests/win/outlook/launcher_fixture.h"
#include "tests/win/support/modal_watcher.h"
#include "tests/win/support/wait.h"

#include <exdisp.h>
#include <shlobj.h>

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

// Wine's Explorer registers the desktop with ShellWindows a moment after it starts for this
// process's desktop; until then there is no desktop shell view to ask.
bool WaitForDesktopShell(DWORD milliseconds)
{
    const ComInitGuard com;
    GetDesktopWindow();
    return WaitUntil(
        [] {
            IShellWindows* shellWindows = nullptr;
            if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                        reinterpret_cast<void**>(&shellWindows))))
                return false;
            VARIANT location, root;
            VariantInit(&location);
            VariantInit(&root);
            location.vt = VT_I4;
            location.lVal = CSIDL_DESKTOP;
            LONG window = 0;
            IDispatch* desktop = nullptr;
            const HRESULT found =
                shellWindows->FindWindowSW(&location, &root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &desktop);
            shellWindows->Release();
            if (desktop != nullptr)
                desktop->Release();
            return found == S_OK && desktop != nullptr;
        },
        milliseconds);
}

std::string ExeNameOf(DWORD processId)
{
    CProcessesEnum processes;
    processes.Refresh();
    for (const PROCESSENTRY32& entry : processes)
        if (entry.th32ProcessID == processId)
            return entry.szExeFile;
    return std::string();
}

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

TEST_F(OutlookStart, WithoutADesktopShellNotRunningOutlookIsStartedHereWithoutAQuestion)
{
    // The desktop's Explorer cannot be taken away on demand; COM's own class registration
    // makes ShellWindows refuse for this thread's apartment instead.
    const ComInitGuard com;
    const RefusedClass noShellWindows(CLSID_ShellWindows);
    ASSERT_TRUE(noShellWindows.IsRegistered());
    ModalWatcher watcher(IDNO);

    COutlookLauncher launcher;
    EXPECT_TRUE(launcher.CloseOutlook("Close Outlook now?"));
    launcher.StartOutlook("Close Outlook now?");

    const StandIn& outlook = ShellStarted();
    EXPECT_EQ(outlook.ParentProcessId(), GetCurrentProcessId()) << "not started by ShellExecuteA here";
    EXPECT_TRUE(watcher.Boxes().empty());
}

TEST_F(OutlookStart, TheDesktopsExplorerStartsOutlookWhenThereIsOne)
{
    ASSERT_TRUE(WaitForDesktopShell(10000)) << "Explorer never registered the desktop";

    COutlookLauncher().StartOutlook("");

    const StandIn& outlook = ShellStarted();
    EXPECT_NE(outlook.ParentProcessId(), GetCurrentProcessId());
    EXPECT_EQ(_stricmp(ExeNameOf(outlook.ParentProcessId()).c_str(), "explorer.exe"), 0)
        << "parent: " << ExeNameOf(outlook.ParentProcessId());
}

TEST_F(OutlookStart, RunningOutlookIsClosedWithoutAskingAndStartedAfresh)
{
    StandIn& running = Start(m_outlookExe);
    ModalWatcher watcher(IDNO);

    COutlookLauncher().StartOutlook("");

    ExpectClosedOrderly(running);
    const StandIn& started = ShellStarted();
    EXPECT_NE(started.ProcessId(), running.ProcessId());
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
