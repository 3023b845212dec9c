// The desktop's shell as the start tests need it: the setup starts Outlook only through it.
#pragma once

#include <windows.h>

#include <string>

// Wine's Explorer registers the desktop with ShellWindows a moment after it starts; until then
// there is no desktop shell view to ask. True once there is one.
bool WaitForDesktopShell(DWORD milliseconds);
// Explorer's start is a readiness wait, not a check of speed: on a loaded machine it took more
// than 10 s.
constexpr DWORD kDesktopShellWaitMs = 60000;

// The executable file name of a running process as the process snapshot gives it; empty when
// there is no such process.
std::string ExeNameOf(DWORD processId);
