#include "app/interaction.h"

#include "foundation/setup_log.h"
#include "framework/message_box.h"

Interaction::Interaction(const SetupOptions& options) : m_ui(options.ui), m_closeOutlook(options.closeOutlook) {}

void Interaction::ShowBox(const char* text, UINT type) const
{
    if (Unattended())
        SetupLog::Write("Box not shown (unattended run): %s", text);
    else
        AfxMessageBox(text, type, 0);
}

void Interaction::ReportError(const Error::VsException& error) const
{
    if (Unattended())
        SetupLog::Write("Error box not shown (unattended run): %s", error.GetReportText().GetString());
    else
        error.Report();
}

OutlookClosing Interaction::ClosingOutlook() const
{
    if (!Unattended())
        return OutlookClosing::AskThePerson;
    return m_closeOutlook ? OutlookClosing::WithoutAsking : OutlookClosing::NotAllowed;
}

INSTALLUILEVEL Interaction::WindowsInstallerUi() const
{
    switch (m_ui) {
    case SetupUi::Quiet:
        SetupLog::Write("Windows Installer: no interface");
        return INSTALLUILEVEL_NONE;
    case SetupUi::Passive:
        SetupLog::Write("Windows Installer: progress bar only");
        return static_cast<INSTALLUILEVEL>(INSTALLUILEVEL_BASIC | INSTALLUILEVEL_PROGRESSONLY);
    case SetupUi::Full: break;
    }
    return INSTALLUILEVEL_FULL;
}

bool Interaction::ShowsFinishDialog() const
{
    if (Unattended())
        SetupLog::Write("Finish dialog: not shown (unattended run)");
    return !Unattended();
}
