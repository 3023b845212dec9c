#include "app/setup_app.h"

#include "app/edition_installation.h"
#include "app/interaction.h"
#include "app/layout.h"
#include "app/msi_api.h"
#include "app/outlook_detection.h"
#include "app/setup_command_line.h"
#include "foundation/error.h"
#include "foundation/setup_log.h"
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
    const GivenCommandLine given = ReadGivenCommandLine(m_lpCmdLine);
    const Interaction interaction(given.read.options);
    SetExitCode(Run(given, interaction));
    return FALSE;
}

int VsEnclosaSetupBootApp::Run(const GivenCommandLine& given, const Interaction& interaction)
{
    const int refused = StartLog(given, interaction);
    if (refused != ERROR_SUCCESS)
        return refused;
    const SetupOptions& options = given.read.options;
    if (options.help) {
        interaction.ShowBox(kSetupUsage, MB_OK | MB_ICONINFORMATION);
        return ERROR_SUCCESS;
    }
    try {
        if (options.layoutFolder.IsEmpty())
            return Install(options, interaction);
        WriteLayout(options.layoutFolder);
        CStringA text;
        text.Format("The setup's packages and installers are in %s.", options.layoutFolder.GetString());
        interaction.ShowBox(text, MB_OK | MB_ICONINFORMATION);
        return ERROR_SUCCESS;
    } catch (const Error::VsException& error) {
        interaction.ReportError(error);
    } catch (...) {
        SetupLog::Write("Unknown error");
        interaction.ShowBox("Unknown error while installing Vostrel Outlook Enclosa.", MB_OK);
    }
    return kExitSetupError;
}

int VsEnclosaSetupBootApp::StartLog(const GivenCommandLine& given, const Interaction& interaction)
{
    const SetupOptions& options = given.read.options;
    const bool refused = !given.read.error.IsEmpty();
    // A command line that is refused names no log to trust.
    SetupLog::Open(VS_SETUP_VERSION, refused ? nullptr : options.logPath.GetString());
    CStringA reason = given.read.error;
    int exitCode = kExitBadCommandLine;
    if (!refused && !SetupLog::IsOpen() && !options.logPath.IsEmpty()) {
        // Told in the log where a run without /log writes it, which support looks into next.
        SetupLog::Open(VS_SETUP_VERSION);
        reason.Format("The log %s cannot be written.", options.logPath.GetString());
        exitCode = kExitLogFailure;
    }
    if (!given.text.IsEmpty())
        SetupLog::Write("Command line: %s", given.text.GetString());
    if (reason.IsEmpty())
        return ERROR_SUCCESS;
    SetupLog::Write("Command line: refused: %s", reason.GetString());
    interaction.ShowBox(exitCode == kExitBadCommandLine ? kSetupUsage + CStringA("\n\n") + reason : reason,
                        MB_OK | MB_ICONERROR);
    return exitCode;
}

int VsEnclosaSetupBootApp::Install(const SetupOptions& options, const Interaction& interaction)
{
    // Without it there is no telling whether Outlook is installed, and nothing could be installed.
    if (!WindowsInstallerReachable()) {
        SetupLog::Write("Windows Installer cannot be reached");
        return ERROR_INSTALL_SERVICE_FAILURE;
    }
    const OutlookArchitecture architecture = DetectOutlook(m_outlookSearch);
    if (architecture == OutlookArchitecture::None) {
        CStringA text;
        text.LoadById(IDS_OUTLOOK_NOT_DETECTED);
        interaction.ShowBox(text, MB_OK);
        return kExitOutlookNotDetected;
    }
    const EditionProfile& profile =
        architecture == OutlookArchitecture::X64 ? kEditionProfileX64 : kEditionProfileX86;
    const InstallResult result = InstallEdition(profile, options, interaction);
    if (result.installed && interaction.ShowsFinishDialog())
        ShowFinishDialog(result.workFolder);
    return static_cast<int>(result.exitCode);
}

void VsEnclosaSetupBootApp::ShowFinishDialog(const VsFsPath& workFolder)
{
    // The product is installed, whatever happens to the dialog: the run ends with 0, and the log
    // says why there was no dialog, or why it ended.
    try {
        ShowFinishDialogOrThrow(workFolder);
    } catch (const Error::VsException& error) {
        SetupLog::Write("Finish dialog: failed (the product is installed): %s", error.GetReportText().GetString());
    } catch (...) {
        SetupLog::Write("Finish dialog: failed (the product is installed): unknown error");
    }
}

void VsEnclosaSetupBootApp::ShowFinishDialogOrThrow(const VsFsPath& workFolder)
{
    // GDI+ runs from here until ExitInstance; without it there is no finish dialog.
    for (const char* library : kFinishDialogLibraries) {
        if (LoadSystemLibrary(library) == nullptr) {
            SetupLog::Write("Finish dialog: %s cannot be loaded; no finish dialog", library);
            return;
        }
    }
    m_gdiplus.emplace();
    if (!m_gdiplus->IsStarted()) {
        SetupLog::Write("GDI+: start-up failed with status %d; no finish dialog", m_gdiplus->Status());
        return;
    }
    CDlgFinishSetupImpl dialog(workFolder);
    SetupLog::Write("Finish dialog: shown");
    const INT_PTR ended = dialog.DoModal();
    SetupLog::Write("Finish dialog: ended with %d (%s)", static_cast<int>(ended),
                    ended == IDOK       ? "its button"
                    : ended == IDCANCEL ? "closed"
                                        : "it could not be shown");
}

int VsEnclosaSetupBootApp::ExitInstance()
{
    m_gdiplus.reset();
    const int exitCode = CWinAppEx::ExitInstance();
    SetupLog::Write("Exit code %d", exitCode);
    SetupLog::Close();
    return exitCode;
}
