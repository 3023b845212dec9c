#include "ui/finish_dialog/finish_dialog_impl.h"

#include "outlook/outlook_launcher.h"
#include "resources/resource_ids.h"
#include "ui/welcome/welcome_page.h"

namespace {

CStringA StringResource(UINT id)
{
    CStringA text;
    text.LoadById(id);
    return text;
}

} // namespace

CDlgFinishSetupImpl::CDlgFinishSetupImpl(const VsFsPath& workFolder)
    : CDlgFinishSetup(IDR_WELCOME_PAGE, StringResource(IDS_FINISH_CAPTION), StringResource(IDS_CLOSE_AND_START_OUTLOOK),
                      nullptr, workFolder)
{
}

void CDlgFinishSetupImpl::WriteWelcomeAssets() { Welcome::WriteAssets(m_pathWelcome); }

void CDlgFinishSetupImpl::OnCloseAndStart()
{
    // No question: the person asked for Outlook to be closed by pressing the button.
    COutlookLauncher launcher;
    launcher.StartOutlook();
    EndDialog(1);
}
