#include "outlook/outlook_launcher.h"

#include "foundation/error.h"
#include "foundation/setup_log.h"
#include "framework/message_box.h"
#include "framework/platform_boundary.h"
#include "outlook/session_outlooks.h"
#include "outlook/unelevated_shell_execute.h"

namespace {

const char kOutlookShellName[] = "outlook";
const UINT kWindowCloseTimeoutMs = 2500;
const DWORD kProcessEndTimeoutMs = 10000;
// Termination is asynchronous: the process is gone, and its files free, once its handle says so.
const DWORD kTerminationTimeoutMs = 5000;
const UINT kQuestionBoxType = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
const UINT kTerminatedExitCode = 0;
// How often the list is read again for an Outlook that cannot be opened, while it may close.
const DWORD kListReadIntervalMs = 250;

// Sends the close requests to the windows of processId. An exception that the callback keeps
// is thrown here; one kept before (this may run inside a window procedure, from the finish
// dialog's button) is no business of the enumeration and stays pending for its own owner.
void RequestClose(DWORD processId)
{
    std::exception_ptr earlier = TakePendingException();
    EnumWindows(COutlookLauncher::CloseOutlookWindowsProc, static_cast<LPARAM>(processId));
    std::exception_ptr kept = TakePendingException();
    if (earlier)
        KeepPendingException(std::move(earlier));
    if (kept)
        std::rethrow_exception(std::move(kept));
}

bool PersonSaysYes(const char* question)
{
    CStringA text(question != nullptr ? question : "");
    text.Trim();
    const int answer = AfxMessageBox(text, kQuestionBoxType, 0);
    SetupLog::Write("Outlook: asked to close it, the person answered %s", answer == IDYES ? "Yes" : "No");
    return answer == IDYES;
}

bool HasEnded(HANDLE process, DWORD milliseconds = 0)
{
    return WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0;
}

// Waits for a held Outlook that was asked to close until the deadline, then ends it. False when
// it still runs.
bool WaitOrEnd(const HeldOutlook& outlook, ULONGLONG deadline)
{
    const ULONGLONG now = GetTickCount64();
    if (HasEnded(outlook.process.Get(), now < deadline ? static_cast<DWORD>(deadline - now) : 0)) {
        SetupLog::Write("Outlook: closed (process %lu)", outlook.processId);
        return true;
    }
    const bool ended = TerminateProcess(outlook.process.Get(), kTerminatedExitCode) &&
                       HasEnded(outlook.process.Get(), kTerminationTimeoutMs);
    SetupLog::Write("Outlook: process %lu still running after %lu ms; %s", outlook.processId, kProcessEndTimeoutMs,
                    ended ? "ended" : "it could not be ended");
    return ended;
}

// Close requests to the windows of every Outlook found; gives the held ones still running. One
// that cannot be opened is asked by its id alone: the list, read again right before, still names
// it outlook.exe, and EnumWindows reaches only this desktop's windows.
std::vector<const HeldOutlook*> AskAllToClose(SessionOutlooks& outlooks)
{
    std::vector<const HeldOutlook*> running;
    for (const HeldOutlook& outlook : outlooks.held) {
        if (HasEnded(outlook.process.Get())) {
            SetupLog::Write("Outlook: it ended by itself meanwhile; nothing to close (process %lu)", outlook.processId);
            continue;
        }
        RequestClose(outlook.processId);
        running.push_back(&outlook);
    }
    KeepThoseStillListed(outlooks.unopened);
    for (const DWORD processId : outlooks.unopened)
        RequestClose(processId);
    return running;
}

// Whether the Outlooks that cannot be opened have ended by the deadline: only the list can tell.
bool UnopenedEnded(std::vector<DWORD>& unopened, ULONGLONG deadline)
{
    while (!unopened.empty() && GetTickCount64() < deadline) {
        Sleep(kListReadIntervalMs);
        KeepThoseStillListed(unopened);
    }
    for (const DWORD processId : unopened)
        SetupLog::Write("Outlook: process %lu still running after %lu ms; the setup cannot end it", processId,
                        kProcessEndTimeoutMs);
    return unopened.empty();
}

} // namespace

// Every Outlook is asked to close before the one bounded wait; then those still running are
// ended, where the setup can.
OutlookOutcome COutlookLauncher::CloseOutlook(AskFirst ask, const char* question)
{
    SessionOutlooks outlooks = FindSessionOutlooks();
    if (!outlooks.Any())
        return OutlookOutcome::Closed;
    if (ask == AskFirst::Yes && !PersonSaysYes(question))
        return OutlookOutcome::Declined;
    const std::vector<const HeldOutlook*> running = AskAllToClose(outlooks);
    const ULONGLONG deadline = GetTickCount64() + kProcessEndTimeoutMs;
    bool allEnded = UnopenedEnded(outlooks.unopened, deadline);
    for (const HeldOutlook* outlook : running)
        allEnded = WaitOrEnd(*outlook, deadline) && allEnded;
    if (allEnded)
        return OutlookOutcome::Closed;
    SetupLog::Write("Outlook: still running; not taken for closed");
    return OutlookOutcome::StillRunning;
}

bool COutlookLauncher::IsOutlookRunning() const { return FindSessionOutlooks().Any(); }

void COutlookLauncher::StartOutlook()
{
    // What goes wrong here is the button's own business: it is logged, and Outlook not started.
    try {
        CloseOutlook(AskFirst::No);
    } catch (const Error::VsException& error) {
        SetupLog::Write("Outlook: not started; whether it runs cannot be told: %s", error.GetReportText().GetString());
        return;
    } catch (...) {
        SetupLog::Write("Outlook: not started; an error while closing it");
        return;
    }
    // The setup runs elevated; an Outlook started by it would be elevated too and clash with
    // the person's own later start. Nor does it start one itself when the desktop's shell
    // cannot: its own shell would look the bare name up in the current folder, the person's
    // PATH and the person's App Paths, and run whatever it found there elevated.
    if (ShellExecuteAsDesktopUser("open", kOutlookShellName, SW_SHOW))
        SetupLog::Write("Outlook: started through the desktop's shell");
    else
        SetupLog::Write("Outlook: not started; the desktop's shell cannot start it, and the setup does not start it "
                        "elevated");
}

BOOL CALLBACK COutlookLauncher::CloseOutlookWindowsProc(HWND window, LPARAM processId)
{
    return CallFromPlatform(FALSE, [=] {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == static_cast<DWORD>(processId)) {
            DWORD_PTR ignored = 0;
            // A hung window is given up on at once, not after the full time.
            SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kWindowCloseTimeoutMs,
                                &ignored);
        }
        return TRUE;
    });
}
