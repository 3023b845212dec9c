#include "app/setup_app.h"

#include "app/edition_installation.h"
#include "foundation/error.h"
#include "foundation/setup_log.h"
#include "framework/message_box.h"
#include "framework/system_library.h"
#include "resources/resource_ids.h"
#include "ui/finish_dialog/finish_dialog_impl.h"

namespace {

// The finish dialog's delay-loaded DLLs, loaded here before it exists. Left to the first call,
// a DLL that cannot be had would end in the delay-load helper's structured exception inside a
// window procedure, where nothing of ours can catch it.
const char* const kFinishDialogLibraries[] = {"gdiplus.dll", "comctl32.dll"};

} // namespace

VsEnclosaSetupBootApp::VsEnclosaSetupBootApp(OutlookSearch search) : CWinAppEx(TRUE), m_outlookSearch(search) {}

BOOL VsEnclosaSetupBootApp::InitInstance()
{
    CWinAppEx::InitInstance();
    SetupLog::Open(VS_SETUP_VERSION);
    try {
        const OutlookArchitecture architecture = DetectOutlook(m_outlookSearch);
        if (architecture == OutlookArchitecture::None) {
            AfxMessageBox(IDS_OUTLOOK_NOT_DETECTED, MB_OK, IDS_OUTLOOK_NOT_DETECTED);
            SetExitCode(kExitOutlookNotDetected);
            return FALSE;
        }
        const EditionProfile& profile =
            architecture == OutlookArchitecture::X64 ? kEditionProfileX64 : kEditionProfileX86;
        UINT result = ERROR_INSTALL_FAILURE;
        VsFsPath workFolder;
        if (!InstallEdition(profile, &result, &workFolder)) {
            // A failed installation never ends with the success code.
            SetExitCode(result != ERROR_SUCCESS ? static_cast<int>(result) : kExitSetupError);
            return FALSE;
        }
        SetExitCode(ERROR_SUCCESS);

        // GDI+ runs from here until ExitInstance; without it there is no finish dialog.
        for (const char* library : kFinishDialogLibraries) {
            if (LoadSystemLibrary(library) == nullptr) {
                SetupLog::Write("Finish dialog: %s cannot be loaded; no finish dialog", library);
                return FALSE;
            }
        }
        m_gdiplus.emplace();
        if (!m_gdiplus->IsStarted()) {
            SetupLog::Write("GDI+: start-up failed with status %d; no finish dialog", m_gdiplus->Status());
            return FALSE;
        }
        CDlgFinishSetupImpl dialog(workFolder);
        SetupLog::Write("Finish dialog: shown");
        const INT_PTR ended = dialog.DoModal();
        SetupLog::Write("Finish dialog: ended with %d (%s)", static_cast<int>(ended),
                        ended == IDOK       ? "its button"
                        : ended == IDCANCEL ? "closed"
                                            : "it could not be shown");
        return FALSE;
    } catch (const Error::VsException& error) {
        error.Report();
    } catch (...) {
        SetupLog::Write("Unknown error");
        AfxMessageBox("Unknown error while installing Vostrel Outlook Enclosa.", MB_OK, 0);
    }
    SetExitCode(kExitSetupError);
    return FALSE;
}

int VsEnclosaSetupBootApp::ExitInstance()
{
    m_gdiplus.reset();
    const int exitCode = CWinAppEx::ExitInstance();
    SetupLog::Write("Exit code %d", exitCode);
    SetupLog::Close();
    return exitCode;
}
