// Loads a DLL from the system folder only. The setup runs elevated, often from a downloads
// folder where anyone could have left a DLL of the same name; neither that folder nor the
// current one is ever searched.
#pragma once

#include <windows.h>

// Allocates nothing and never throws: the delay-load hook calls it from inside the helper, C code
// that nothing may unwind through.
HMODULE LoadSystemLibrary(const char* name) noexcept;

// Restricts the process's own DLL search to the system folder. The executable's entry point
// calls it before anything else runs.
void RestrictDllSearchToSystemFolder();
