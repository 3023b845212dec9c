#include "system_library.h"

#include "fs_path.h"

HMODULE LoadSystemLibrary(const char* name)
{
    if (HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return module;
    // Vista and Windows 7 without KB2533623 reject the search flags: name the file by its full
    // path in the system folder instead.
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return LoadLibraryExA(VsFsPath(folder).Combine(name), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void RestrictDllSearchToSystemFolder()
{
    // Looked up at run time: a static import of it would keep the setup from starting at all
    // on the systems that lack it.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories != nullptr && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // Without it, at least the current folder leaves the search; every DLL beyond the static
    // imports is loaded through LoadSystemLibrary anyway.
    SetDllDirectoryA("");
}
