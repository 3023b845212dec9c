#include "app/edition_installation.h"

#include "app/msi_api.h"
#include "app/program_run.h"
#include "foundation/narrow_string.h"
#include "foundation/setup_log.h"
#include "foundation/unique_handle.h"
#include "foundation/wide_text.h"
#include "outlook/outlook_launcher.h"
#include "resources/resource_ids.h"

#include <cstring>

namespace {

constexpr char kReinstallCommandLine[] = "ACTION=INSTALL REINSTALL=ALL REINSTALLMODE=vomus";
constexpr char kInstallCommandLine[] = "ACTION=INSTALL";
constexpr char kSettingsKey[] = "Software\\Vostrel\\Outlook Enclosa";
constexpr char kInitializedValue[] = "Initialized";
constexpr char kOutlookStillRunning[] =
    "Microsoft Outlook could not be closed, so nothing was installed. Close Outlook, then run the setup again.";

InstallResult Ended(UINT exitCode)
{
    InstallResult result;
    result.exitCode = exitCode;
    return result;
}

// The other language edition that is installed: "german", "polish", or none.
const char* OtherEditionInstalled(const MsiFunctions& msi, const EditionProfile& profile)
{
    char related[64] = {};
    if (msi.EnumRelatedProducts(profile.germanUpgradeCode, 0, 0, related) == ERROR_SUCCESS)
        return "german";
    if (msi.EnumRelatedProducts(profile.polishUpgradeCode, 0, 0, related) == ERROR_SUCCESS)
        return "polish";
    return nullptr;
}

bool ProductInstalled(const MsiFunctions& msi, const char* productCode)
{
    char buffer[64] = {};
    for (DWORD index = 0; msi.EnumProducts(index, buffer) == ERROR_SUCCESS; ++index) {
        if (std::strcmp(buffer, productCode) == 0)
            return true;
    }
    return false;
}

// What the editions on the machine allow.
struct EditionCheck {
    UINT refusal = ERROR_SUCCESS;  // the exit code that ends the run, or ERROR_SUCCESS
    bool reinstall = false;        // this edition is installed already
};

EditionCheck CheckEditions(const MsiFunctions& msi, const EditionProfile& profile, const Interaction& interaction)
{
    EditionCheck check;
    if (const char* other = OtherEditionInstalled(msi, profile)) {
        SetupLog::Write("Language guard: the %s edition is installed; refused", other);
        CStringA text;
        text.FormatById(IDS_OTHER_LANGUAGE_EDITION, other);
        interaction.ShowBox(text, MB_OK);
        check.refusal = ERROR_PRODUCT_VERSION;
        return check;
    }
    SetupLog::Write("Language guard: no German or Polish edition installed");
    check.reinstall = ProductInstalled(msi, profile.productCode);
    SetupLog::Write("This edition %s: %s", profile.productCode, check.reinstall ? "installed" : "not installed");
    return check;
}

UINT ExitCodeOf(OutlookOutcome outcome, const Interaction& interaction)
{
    switch (outcome) {
    case OutlookOutcome::Closed: return ERROR_SUCCESS;
    case OutlookOutcome::Declined: return ERROR_INSTALL_USEREXIT;
    case OutlookOutcome::StillRunning: break;
    }
    interaction.ShowBox(kOutlookStillRunning, MB_OK);
    return ERROR_INSTALL_ALREADY_RUNNING;
}

// Gives the exit code that ends the run, or ERROR_SUCCESS. A process list that cannot be read
// raises its Error::VsException: whether Outlook runs cannot be told.
UINT GetOutlookOutOfTheWay(const Interaction& interaction)
{
    COutlookLauncher launcher;
    switch (interaction.ClosingOutlook()) {
    case OutlookClosing::AskThePerson: {
        CStringA question;
        question.LoadById(IDS_CLOSE_OUTLOOK_QUESTION);
        return ExitCodeOf(launcher.CloseOutlook(AskFirst::Yes, question), interaction);
    }
    case OutlookClosing::WithoutAsking: return ExitCodeOf(launcher.CloseOutlook(AskFirst::No), interaction);
    case OutlookClosing::NotAllowed: break;
    }
    if (!launcher.IsOutlookRunning())
        return ERROR_SUCCESS;
    SetupLog::Write("Outlook: running, and this unattended run may not close it (/closeoutlook); nothing changed");
    return ERROR_INSTALL_ALREADY_RUNNING;
}

// While it lives, the process's TEMP and TMP name the folder. Windows Installer's part in this
// process takes its temporary folder from the process's own environment, and Wine's copies the
// package there and installs from the copy: in the person's folder, a program of theirs could
// swap it. The only change the setup makes to its own environment; programs it starts get theirs
// built (RunAndWait). The person's values come back unchanged, in UTF-16.
class ScopedTemporaryFolder {
public:
    explicit ScopedTemporaryFolder(const char* folder)
    {
        const WideText path = ToUtf16(folder, CP_ACP);
        for (Saved& variable : m_saved) {
            const DWORD length = GetEnvironmentVariableW(variable.name, nullptr, 0);
            variable.wasSet = length > 0;
            variable.value.assign(length > 0 ? length : 1, L'\0');
            if (length > 0)
                GetEnvironmentVariableW(variable.name, variable.value.data(), length);
            SetEnvironmentVariableW(variable.name, path.data());
        }
    }
    ~ScopedTemporaryFolder()
    {
        for (const Saved& variable : m_saved)
            SetEnvironmentVariableW(variable.name, variable.wasSet ? variable.value.data() : nullptr);
    }
    ScopedTemporaryFolder(const ScopedTemporaryFolder&) = delete;
    ScopedTemporaryFolder& operator=(const ScopedTemporaryFolder&) = delete;

private:
    struct Saved {
        const WCHAR* name;
        bool wasSet = false;
        WideText value;
    };
    Saved m_saved[2] = {{L"TEMP", false, {}}, {L"TMP", false, {}}};
};

// Quoted: unquoted, a folder with blanks would let the platform try a shorter name first.
ProgramRun RunRuntimeInstaller(const StagedPayloads& payloads)
{
    CStringA command;
    command.Format("\"%s\" /q:a", payloads.Runtime().GetString());
    const ProgramRun run = RunAndWait(command, payloads.Folder());
    if (run.started)
        SetupLog::Write("Runtime installer %s: exit code %lu", command.GetString(), run.exitCode);
    else
        SetupLog::Write("Runtime installer %s: cannot be started (error %lu)", command.GetString(), run.startError);
    return run;
}

UINT InstallFresh(const MsiFunctions& msi, const char* packagePath, const char* commandLine)
{
    HKEY opened = nullptr;
    UniqueRegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ | KEY_WRITE, &opened) == ERROR_SUCCESS) {
        key.Reset(opened);
        RegDeleteValueA(key.Get(), kInitializedValue);
    }
    // The key stays open until Windows Installer has returned.
    return msi.InstallProduct(packagePath, commandLine);
}

InstallResult RunWindowsInstaller(const MsiFunctions& msi, StagedPayloads& payloads, bool reinstall,
                                  const SetupOptions& options, const Interaction& interaction)
{
    msi.SetInternalUI(interaction.WindowsInstallerUi(), nullptr);
    // Held until Windows Installer has returned.
    const SetupLog::MsiLog msiLog = SetupLog::NewMsiLog();
    CStringA commandLine = reinstall ? kReinstallCommandLine : kInstallCommandLine;
    if (options.noRestart)
        commandLine += " REBOOT=ReallySuppress";
    const char* const package = payloads.Package();
    SetupLog::Write("Windows Installer: %s \"%s\", verbose log %s", package, commandLine.GetString(),
                    EnableMsiVerboseLog(msiLog.path) ? msiLog.path : "none");
    // From here the folder stays: Windows Installer repairs from the package where it was
    // installed from.
    payloads.Keep();
    InstallResult result;
    result.workFolder = payloads.Folder();
    result.exitCode = reinstall ? msi.InstallProduct(package, commandLine) : InstallFresh(msi, package, commandLine);
    SetupLog::Write("Windows Installer: result %u", result.exitCode);
    result.installed = result.exitCode == ERROR_SUCCESS;
    return result;
}

} // namespace

InstallResult InstallEdition(const EditionProfile& profile, const SetupOptions& options,
                             const Interaction& interaction)
{
    const MsiFunctions& msi = Msi();
    const EditionCheck editions = CheckEditions(msi, profile, interaction);
    if (editions.refusal != ERROR_SUCCESS)
        return Ended(editions.refusal);
    // Everything the installation needs is in place before Outlook is asked to close: a person
    // is never left with a closed Outlook and nothing installed for want of a folder or a file.
    StagedPayloads payloads(profile);
    const UINT outlook = GetOutlookOutOfTheWay(interaction);
    if (outlook != ERROR_SUCCESS)
        return Ended(outlook);
    RunRuntimeInstaller(payloads);
    const ScopedTemporaryFolder temporary(payloads.Folder());
    return RunWindowsInstaller(msi, payloads, editions.reinstall, options, interaction);
}
