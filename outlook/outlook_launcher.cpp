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

} // namespace

bool COutlookLauncher::CloseOutlook(CStringA question)
{
    // Whatever goes wrong on the way (the snapshot above all) must not stop the setup.
    try {
        CProcessesEnum processes;
        processes.Refresh();
        PROCESSENTRY32 outlook = {};
        if (!processes.FindByName(kOutlookExecutable, &outlook)) {
            SetupLog::Write("Outlook: not running");
            return true;
        }
        const DWORD processId = outlook.th32ProcessID;
        SetupLog::Write("Outlook: running as process %lu", processId);
        // Held from the snapshot on: while a handle to it is open, its id goes to no other
        // process, even after it has ended. So however long the question stays open, the close
        // requests, the wait and the termination reach this Outlook or nothing.
        const UniqueProcessHandle process(OpenProcess(kProcessAccess, FALSE, processId));
        if (!process) {
            SetupLog::Write("Outlook: it cannot be opened (error %lu), perhaps it has ended; going on without "
                            "closing it",
                            GetLastError());
            return true;
        }

        question.Trim();
        if (!question.IsEmpty()) {
            const int answer = AfxMessageBox(question, kQuestionBoxType, 0);
            SetupLog::Write("Outlook: asked to close it, the person answered %s", answer == IDYES ? "Yes" : "No");
            if (answer != IDYES)
                return false;
        }

        if (WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) {
            SetupLog::Write("Outlook: it ended by itself meanwhile; nothing to close");
            return true;
        }
        RequestClose(processId);

        if (WaitForSingleObject(process.Get(), kProcessEndTimeoutMs) == WAIT_OBJECT_0) {
            SetupLog::Write("Outlook: closed");
        } else {
            const BOOL ended = TerminateProcess(process.Get(), kTerminatedExitCode);
            SetupLog::Write("Outlook: still running after %lu ms; %s", kProcessEndTimeoutMs,
                            ended ? "ended" : "it could not be ended");
        }
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

void COutlookLauncher::StartOutlook(CStringA question)
{
    if (!CloseOutlook(question))
        return;
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
