// Gets every running Outlook of the setup's session out of the way (a question first, then close
// requests to their windows, one bounded wait and termination) and starts Outlook through the
// desktop's shell.
#pragma once

#include "foundation/narrow_string.h"

#include <windows.h>

// Whether the person is asked before a running Outlook is closed.
enum class AskFirst {
    No,   // the person asked for it already (the finish dialog's button), or an administrator did
    Yes,  // only the person's Yes lets it be closed
};

// What became of the Outlooks of the setup's session.
enum class OutlookOutcome {
    Closed,        // none runs any more: none ran, or each one closed or was ended
    Declined,      // the person answered anything but Yes; nothing was closed
    StillRunning,  // one could not be opened, or not ended; the log names it
};

class COutlookLauncher {
public:
    COutlookLauncher() = default;
    virtual ~COutlookLauncher() = default;

    // With AskFirst::Yes the question, trimmed, is asked once when any Outlook of the session
    // runs, one that cannot be opened included. Each one is held by a handle from the moment it
    // is found (FindSessionOutlooks); everything after the question goes through those handles,
    // and one that ended meanwhile is left alone. One that cannot be opened is asked to close by
    // its id, and the process list tells whether it ended. Throws Error::VsExceptionCommon when
    // the process list cannot be read: it tells nothing about what runs.
    OutlookOutcome CloseOutlook(AskFirst ask, const char* question = nullptr);
    // Whether an Outlook of the session runs now, one that cannot be opened included. Throws as
    // CloseOutlook does.
    bool IsOutlookRunning() const;
    // CloseOutlook without asking, then Outlook is started by the desktop's shell with the
    // person's rights. Where that shell cannot start it, it is not started (and the log says so);
    // nor when the process list cannot be read.
    void StartOutlook();

    // EnumWindows callback: asks the window to close when the process of processId owns it. The
    // caller holds a handle to that process, so that its id cannot belong to another one.
    static BOOL CALLBACK CloseOutlookWindowsProc(HWND window, LPARAM processId);
};
