#include "outlook/toolhelp32_wrapper.h"

namespace {

HMODULE LoadKernel32() { return LoadLibraryA("Kernel32.dll"); }

ToolHelpFunctions& Table()
{
    static ToolHelpFunctions table{LoadKernel32};
    return table;
}

} // namespace

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
