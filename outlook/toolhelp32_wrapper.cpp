#include "outlook/toolhelp32_wrapper.h"

#include "framework/system_library.h"

#include <wtsapi32.h>

namespace {

HMODULE LoadKernel32() { return LoadLibraryA("Kernel32.dll"); }

// The session manager lists every process with its session without opening any of them.
bool SessionFromSessionManager(DWORD processId, DWORD* session)
{
    // The module stays loaded for the rest of the process.
    const HMODULE wtsapi = LoadSystemLibrary("wtsapi32.dll");
    if (wtsapi == nullptr)
        return false;
    const auto enumerate = reinterpret_cast<decltype(&WTSEnumerateProcessesW)>(
        reinterpret_cast<void*>(GetProcAddress(wtsapi, "WTSEnumerateProcessesW")));
    const auto release =
        reinterpret_cast<decltype(&WTSFreeMemory)>(reinterpret_cast<void*>(GetProcAddress(wtsapi, "WTSFreeMemory")));
    WTS_PROCESS_INFOW* processes = nullptr;
    DWORD count = 0;
    if (enumerate == nullptr || release == nullptr || !enumerate(WTS_CURRENT_SERVER_HANDLE, 0, 1, &processes, &count))
        return false;
    bool found = false;
    for (DWORD i = 0; i < count && !found; ++i) {
        found = processes[i].ProcessId == processId;
        if (found)
            *session = processes[i].SessionId;
    }
    release(processes);
    return found;
}

ToolHelpFunctions& Table()
{
    static ToolHelpFunctions table{LoadKernel32};
    return table;
}

} // namespace

bool SessionOfProcess(DWORD processId, DWORD* session)
{
    return ProcessIdToSessionId(processId, session) || SessionFromSessionManager(processId, session);
}

const ToolHelpFunctions& ToolHelp() { return Table(); }

ToolHelpFunctions SetToolHelpFunctions(const ToolHelpFunctions& functions)
{
    const ToolHelpFunctions previous = Table();
    Table() = functions;
    return previous;
}

CToolHelp32Wrapper::CToolHelp32Wrapper() : m_module(ToolHelp().LoadModule != nullptr ? ToolHelp().LoadModule() : nullptr) {}

template <class Function>
Function CToolHelp32Wrapper::Lookup(const char* name) const
{
    if (!IsLoaded())
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module.Get(), name)));
}

HANDLE CToolHelp32Wrapper::CreateSnapshot(DWORD flags, DWORD processId) const
{
    const auto create = Lookup<decltype(&CreateToolhelp32Snapshot)>("CreateToolhelp32Snapshot");
    return create != nullptr ? create(flags, processId) : nullptr;
}

BOOL CToolHelp32Wrapper::FirstProcess(HANDLE snapshot, PROCESSENTRY32* entry) const
{
    const auto first = Lookup<decltype(&Process32First)>("Process32First");
    return first != nullptr ? first(snapshot, entry) : FALSE;
}

BOOL CToolHelp32Wrapper::NextProcess(HANDLE snapshot, PROCESSENTRY32* entry) const
{
    const auto next = Lookup<decltype(&Process32Next)>("Process32Next");
    return next != nullptr ? next(snapshot, entry) : FALSE;
}
