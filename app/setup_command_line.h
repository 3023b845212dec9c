// The process's own command line, read into the setup's options. It is taken in UTF-16 as the
// process was given it (the application object's m_lpCmdLine) and split there; each argument then
// goes into the ANSI code page only when it has its exact form there. The narrow command line would
// have the platform put a best-fit neighbour in place of a character the code page lacks ("Łukasz"
// becomes "Lukasz", another folder): such a command line is refused, before anything is changed.
#pragma once

#include "app/command_line.h"

#include <windows.h>

struct GivenCommandLine {
    CStringA text;  // the arguments as given, for the log; empty for none
    SetupCommandLine read;
};

// The paths of /log and /layout come back full, from the current folder.
GivenCommandLine ReadGivenCommandLine(const WCHAR* arguments);
