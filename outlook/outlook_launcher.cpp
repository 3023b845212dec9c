#include "outlook/outlook_launcher.h"

#include "foundation/setup_log.h"
#include "foundation/unique_handle.h"
#include "framework/message_box.h"
#include "framework/platform_boundary.h"
#include "outlook/processes_enum.h"
#include "outlook/unelevated_shell_execute.h"

namespace {

const char kOutlookExecutable[] = "outlook.exe";
const char kOutlookShellName[] = "outlook";
const UINT kWindowCloseTimeoutMs = 2500;
const DWORD kProcessEndTimeoutMs = 10000;
const UINT kQuestionBoxType = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
const DWORD kProcessAccess = SYNCHRONIZE | PROCESS_TERMINATE;
const UINT kTerminatedExitCode = 0;

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

// The first outlook.exe of a process snapshot, held from the moment it is found: while a handle
// to it is open, its id goes to no other process, even after it has ended. So however long the
// question stays open, the close requests, the wait and the termination reach this Outlook or
// nothing. Empty when none runs or it cannot be opened.
UniqueProcessHandle FindOutlook(DWORD& processId)
{
    CProcessesEnum processes;
    processes.Refresh();
    PROCESSENTRY32 outlook = {};
    if (!processes.FindByName(kOutlookExecutable, &outlook)) {
        SetupLog::Write("Outlook: not running");
        return UniqueProcessHandle();
    }
    processId = outlook.th32ProcessID;
    SetupLog::Write("Outlook: running as process %lu", processId);
    UniqueProcessHandle process(OpenProcess(kProcessAccess, FALSE, processId));
    if (!process)
        SetupLog::Write("Outlook: it cannot be opened (error %lu), perhaps it has ended; going on without "
                        "closing it",
                        GetLastError());
    return process;
}

bool PersonSaysYes(const char* question)
{
    CStringA text(question != nullptr ? question : "");
    text.Trim();
    const int answer = AfxMessageBox(text, kQuestionBoxType, 0);
    SetupLog::Write("Outlook: asked to close it, the person answered %s", answer == IDYES ? "Yes" : "No");
    return answer == IDYES;
}

// Close requests to the held Outlook's windows, a bounded wait for its end, then termination.
void CloseHeld(HANDLE process, DWORD processId)
{
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
        SetupLog::Write("Outlook: it ended by itself meanwhile; nothing to close");
        return;
    }
    RequestClose(processId);
    if (WaitForSingleObject(process, kProcessEndTimeoutMs) == WAIT_OBJECT_0) {
        SetupLog::Write("Outlook: closed");
        return;
    }
    const BOOL ended = TerminateProcess(process, kTerminatedExitCode);
    SetupLog::Write("Outlook: still running after %lu ms; %s", kProcessEndTimeoutMs,
                    ended ? "ended" : "it could not be ended");
}

} // namespace

bool COutlookLauncher::CloseOutlook(AskFirst ask, const char* question)
{
    // Whatever goes wrong on the way (the snapshot above all) must not stop the setup.
    try {
        DWORD processId = 0;
        const UniqueProcessHandle process = FindOutlook(processId);
        if (!process)
            return true;
        if (ask == AskFirst::Yes && !PersonSaysYes(question))
            return false;
        CloseHeld(process.Get(), processId);
        return true;
    } catch (...) {
        SetupLog::Write("Outlook: an error while reading the process list or closing Outlook; going on as if it "
                        "were not running");
        return true;
    }
}

bool COutlookLauncher::IsOutlookRunning() const
{
    try {
        CProcessesEnum processes;
        processes.Refresh();
        return processes.FindByName(kOutlookExecutable, nullptr);
    } catch (...) {
        SetupLog::Write("Outlook: the process list cannot be read; taken as not running");
        return false;
    }
}

void COutlookLauncher::StartOutlook()
{
    CloseOutlook(AskFirst::No);
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
            SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_NORMAL, kWindowCloseTimeoutMs, &ignored);
        }
        return TRUE;
    });
}
