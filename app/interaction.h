// The one place that decides what the person sees and is asked. Made once from the command line:
// the person's run shows every box and question; an unattended run (/quiet, /passive) shows
// none, writes each box's text to the log and goes on as the box's OK would, and takes the
// answers an administrator gave on the command line.
#pragma once

#include "app/command_line.h"
#include "foundation/error.h"

#include <windows.h>
#include <msi.h>

// What is done about an Outlook that runs when the installation is ready to start.
enum class OutlookClosing {
    AskThePerson,   // closed only after the person's Yes
    WithoutAsking,  // unattended with /closeoutlook: closed as the person's Yes would close it
    NotAllowed,     // unattended without it: the run ends with 1618 and changes nothing
};

class Interaction {
public:
    explicit Interaction(const SetupOptions& options);

    void ShowBox(const char* text, UINT type) const;
    void ReportError(const Error::VsException& error) const;
    OutlookClosing ClosingOutlook() const;
    // The interface Windows Installer shows; one other than its full one is logged.
    INSTALLUILEVEL WindowsInstallerUi() const;
    // Whether a successful installation ends with the finish dialog; when not, the log says so.
    bool ShowsFinishDialog() const;

private:
    bool Unattended() const { return m_ui != SetupUi::Full; }

    SetupUi m_ui;
    bool m_closeOutlook;
};
