// Every Outlook of the setup's own session. The process list gives names only, and any program
// may be named outlook.exe: each one is told by its session and, once opened, by the image that
// runs under its handle.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>

#include <vector>

// An Outlook held from the moment it was found: while the handle is open its id goes to no
// other process, even after it has ended.
struct HeldOutlook {
    DWORD processId = 0;
    UniqueProcessHandle process;
};

struct SessionOutlooks {
    std::vector<HeldOutlook> held;
    // Listed as outlook.exe in this session (or in one that cannot be told), still listed when
    // the list is read again, and not to be opened: running; the setup can ask it to close by
    // its id, but neither wait for it nor end it.
    std::vector<DWORD> unopened;

    bool Any() const { return !held.empty() || !unopened.empty(); }
};

// One look at the running processes; the log names each Outlook and what became of it. An
// outlook.exe of another session is left out, as is a process whose image is not Outlook's (its
// id went to another program after the list was taken). Throws Error::VsExceptionCommon when
// the process list cannot be read.
SessionOutlooks FindSessionOutlooks();

// Drops the ids that the process list, read again, no longer names outlook.exe: those Outlooks
// have ended. Throws as FindSessionOutlooks does.
void KeepThoseStillListed(std::vector<DWORD>& processIds);
