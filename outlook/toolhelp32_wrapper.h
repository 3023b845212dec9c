// The platform's process-list functions, reached through a module loaded at run time and
// looked up by name at every call, so the executable does not import them; and the session a
// listed process runs in.
#pragma once

#include "foundation/scoped_override.h"
#include "foundation/unique_handle.h"

#include <windows.h>
#include <tlhelp32.h>

// The session a process runs in, asked of the process itself or, where it cannot be opened
// (another user's, for an administrator who is not that user), of the session manager; false
// when neither tells.
bool SessionOfProcess(DWORD processId, DWORD* session);

// Where the wrapper gets its module: LoadLibraryA("Kernel32.dll"). Tests swap the loader for
// modules that fail in ways the platform cannot be made to fail on demand, and the session
// function for one that puts processes into another session, which Wine never has.
struct ToolHelpFunctions {
    HMODULE (*LoadModule)() = nullptr;
    bool (*SessionOf)(DWORD processId, DWORD* session) = SessionOfProcess;
};

// The table in use: Kernel32.dll's loader unless a test has replaced it.
const ToolHelpFunctions& ToolHelp();
// Replaces the table and gives the previous one back.
ToolHelpFunctions SetToolHelpFunctions(const ToolHelpFunctions& functions);
using ScopedToolHelpFunctions = ScopedOverride<ToolHelpFunctions, SetToolHelpFunctions>;

class CToolHelp32Wrapper {
public:
    CToolHelp32Wrapper();
    virtual ~CToolHelp32Wrapper() = default;
    CToolHelp32Wrapper(const CToolHelp32Wrapper&) = delete;
    CToolHelp32Wrapper& operator=(const CToolHelp32Wrapper&) = delete;

    bool IsLoaded() const { return m_module.IsValid(); }

    // Null when the module is not loaded or has no such function.
    HANDLE CreateSnapshot(DWORD flags, DWORD processId) const;
    // FALSE when the function is not available.
    BOOL FirstProcess(HANDLE snapshot, PROCESSENTRY32* entry) const;
    BOOL NextProcess(HANDLE snapshot, PROCESSENTRY32* entry) const;

private:
    template <class Function>
    Function Lookup(const char* name) const;

    UniqueModule m_module;
};
