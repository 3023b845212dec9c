// The platform's process-list functions, reached through a module loaded at run time and
// looked up by name at every call, so the executable does not import them.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>
#include <tlhelp32.h>

class CToolHelp32Wrapper {
public:
    // The module is Kernel32.dll; tests name a module of their own to make the calls fail.
    explicit CToolHelp32Wrapper(const char* moduleName = "Kernel32.dll");
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
