// The delay-load helper asks this hook first for every delay-imported DLL (gdiplus.dll,
// comctl32.dll). It loads the DLL from the system folder only; when that fails it raises the
// helper's own "module not found" exception instead of letting the helper fall back to a plain
// LoadLibrary, which would search the executable's folder on systems without default DLL
// directories. That exception is structured, not C++: the setup loads these DLLs itself before
// their first call, so that it never happens.
#include "framework/system_library.h"

#include <delayimp.h>

namespace {

FARPROC WINAPI LoadFromSystemFolder(unsigned notification, PDelayLoadInfo info) noexcept
{
    if (notification != dliNotePreLoadLibrary)
        return nullptr;
    if (HMODULE module = LoadSystemLibrary(info->szDll))
        return reinterpret_cast<FARPROC>(module);
    info->dwLastError = GetLastError();
    ULONG_PTR argument = reinterpret_cast<ULONG_PTR>(info);
    RaiseException(VcppException(ERROR_SEVERITY_ERROR, ERROR_MOD_NOT_FOUND), 0, 1, &argument);
    return nullptr;
}

} // namespace

PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
