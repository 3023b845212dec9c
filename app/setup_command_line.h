// The process's own command line, read into the setup's options. It is taken in UTF-16 as
// the process was given it (the application object's m_lpCmdLine): the narrow one would have the platform put a best-fit neighbour in
// place of a character the ANSI code page lacks ("Łukasz" becomes "Lukasz", another folder).
// Arguments that the code page cannot carry exactly are refused, before anything is changed.
#pragma once

#include "app/command_line.h"

#include <windows.h>

struct GivenCommandLine {
    CStringA text;  // the arguments as given, for the log; empty for none
    SetupCommandLine read;
};

// The paths of /log and /layout come back full, from the current folder.
GivenCommandLine ReadGivenCommandLine(const WCHAR* arguments);
