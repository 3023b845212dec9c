// The programs the elevated setup starts, and what they get from it. Not the setup's own
// environment: an elevated process takes the person's PATH and TEMP from HKCU\Environment, which
// the person's programs can write, and a program searches its PATH for DLLs. Each one gets the
// system's variables (the system's PATH among them, none of the person's), with TEMP and TMP
// naming its folder, and starts in that folder.
#pragma once

#include "foundation/wide_text.h"

#include <windows.h>

// What a program run to its end gave.
struct ProgramRun {
    bool started = false;
    DWORD exitCode = 0;
    // Why it did not start.
    DWORD startError = ERROR_SUCCESS;
};

// A Unicode environment block: the system's variables, TEMP and TMP set to the folder, sorted by
// name as the platform wants it. Empty when the system's variables cannot be had.
WideText ProgramEnvironment(const char* folder);

// Starts a process from a command line with folder as its current and temporary folder, and
// waits for its end. The setup's own environment is left as it is.
ProgramRun RunAndWait(const char* commandLine, const char* folder);
