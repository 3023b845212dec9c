// Gets a running Outlook out of the way (a question first, then close requests to its windows,
// a bounded wait and termination) and starts Outlook through the desktop's shell.
#pragma once

#include "foundation/narrow_string.h"

#include <windows.h>

// Whether the person is asked before a running Outlook is closed.
enum class AskFirst {
    No,   // the person asked for it already (the finish dialog's button), or an administrator did
    Yes,  // only the person's Yes lets it be closed
};

class COutlookLauncher {
public:
    COutlookLauncher() = default;
    virtual ~COutlookLauncher() = default;

    // True when the caller may go on; false only when the person was asked and answered anything
    // but Yes. With AskFirst::Yes the question, trimmed, is asked once an Outlook is found. The
    // first outlook.exe of a process snapshot is held by a handle from the moment it is found
    // (one that cannot be opened is neither asked about nor closed); everything after the
    // question goes through that handle, and an Outlook that ended meanwhile is left alone.
    bool CloseOutlook(AskFirst ask, const char* question = nullptr);
    // Whether an outlook.exe runs now; a process list that cannot be read says no, as
    // CloseOutlook goes on then.
    bool IsOutlookRunning() const;
    // CloseOutlook without asking, then Outlook is started by the desktop's shell with the
    // person's rights. Where that shell cannot start it, it is not started (and the log says so).
    void StartOutlook();

    // EnumWindows callback: asks the window to close when the process of processId owns it. The
    // caller holds a handle to that process, so that its id cannot belong to another one.
    static BOOL CALLBACK CloseOutlookWindowsProc(HWND window, LPARAM processId);
};
