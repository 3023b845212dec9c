#include "tests/win/outlook/desktop_shell.h"

#include "foundation/com_init_guard.h"
#include "outlook/processes_enum.h"
#include "tests/win/support/wait.h"

#include <exdisp.h>
#include <shlobj.h>

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
