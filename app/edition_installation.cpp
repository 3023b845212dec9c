#include "app/edition_installation.h"

#include "app/msi_api.h"
#include "app/setup_boxes.h"
#include "foundation/error.h"
#include "foundation/fs_path.h"
#include "foundation/narrow_string.h"
#include "foundation/resource_extraction.h"
#include "foundation/setup_log.h"
#include "foundation/unique_handle.h"
#include "foundation/wide_text.h"
#include "foundation/work_folder.h"
#include "outlook/outlook_launcher.h"
#include "resources/resource_ids.h"

#include <cstring>
#include <utility>

const EditionProfile kEditionProfileX86 = {
    "{6513270E-269E-4D37-B2A7-4DE452E6B438}",
    "{D23F0824-128B-4F33-8C5C-7FD0A6A3A450}",
    "{9531985D-5D9D-49F8-9818-E811892F902B}",
    131,
    "VsEnclosaSetup.msi",
    148,
    "vc_redist86.exe",
};

const EditionProfile kEditionProfileX64 = {
    "{36F675CC-81E7-4EF5-A8E2-5D940ED90475}",
    "{6B0D549B-6F03-475A-9600-A35A099950D8}",
    "{8D116ECE-1738-47D9-BD9C-172411E20B8F}",
    134,
    "VsEnclosaSetupx64.msi",
    147,
    "vc_redist64.exe",
};

namespace {

constexpr char kReinstallCommandLine[] = "ACTION=INSTALL REINSTALL=ALL REINSTALLMODE=vomus";
constexpr char kInstallCommandLine[] = "ACTION=INSTALL";
constexpr char kSettingsKey[] = "Software\\Vostrel\\Outlook Enclosa";
constexpr char kInitializedValue[] = "Initialized";

bool MsiAvailable(const MsiFunctions& msi)
{
    return msi.EnumRelatedProducts != nullptr && msi.EnumProducts != nullptr && msi.SetInternalUI != nullptr &&
           msi.InstallProduct != nullptr;
}

bool EditionInstalled(const MsiFunctions& msi, const char* upgradeCode, char (&buffer)[64])
{
    return msi.EnumRelatedProducts(upgradeCode, 0, 0, buffer) == ERROR_SUCCESS;
}

void ShowOtherEdition(const char* edition, const SetupOptions& options)
{
    SetupLog::Write("Language guard: the %s edition is installed; refused", edition);
    CStringA text;
    text.FormatById(IDS_OTHER_LANGUAGE_EDITION, edition);
    ShowBox(options, text, MB_OK);
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

const char* CheckName(PayloadCheck check)
{
    switch (check) {
    case PayloadCheck::Intact: return "intact";
    case PayloadCheck::NotHeld: return "cannot be held";
    case PayloadCheck::Differs: return "not our bytes";
    }
    return "unknown";
}

// The one line of the log for each file written out.
void LogExtracted(const char* path, const PayloadHold& hold)
{
    LARGE_INTEGER size = {};
    if (hold.file && GetFileSizeEx(hold.file.Get(), &size))
        SetupLog::Write("Extracted %s: %lld bytes, check: %s", path, static_cast<long long>(size.QuadPart),
                        CheckName(hold.check));
    else
        SetupLog::Write("Extracted %s: check: %s", path, CheckName(hold.check));
}

// Makes this run's work folder and holds it. Nothing may run when it cannot be made so: the
// "Error" names the folder and the system's reason.
void CreateWorkFolder(WorkFolder& work)
{
    const VsFsPath path = WorkFolder::PathForRun();
    const DWORD error = path.IsEmpty() ? ERROR_BAD_PATHNAME : work.Create(path);
    if (error == ERROR_SUCCESS)
        return;
    CStringA text;
    text.FormatById(IDS_NO_WORK_FOLDER, path.IsEmpty() ? "<Windows>\\Temp" : path.GetString());
    throw Error::VsExceptionCommon(error, text, nullptr, 0);
}

} // namespace

// Writes a payload and keeps it held until it has been run or installed. Only a file that is
// exactly our bytes may be used: it runs elevated. Otherwise the "Error" names the file; a
// write that failed says why in the system's words (a full disk is no tampering).
UniqueKernelHandle ExtractHeld(const VsFsPath& path, WORD id, const char* type)
{
    const DWORD writeError = ExtractResourceToFile(path, id, type);
    if (writeError != ERROR_SUCCESS) {
        SetupLog::Write("Extracted %s: cannot be written (error %lu)", path.GetString(), writeError);
        CStringA text;
        text.FormatById(IDS_PAYLOAD_NOT_WRITTEN, path.GetString());
        throw Error::VsExceptionCommon(writeError, text, nullptr, 0);
    }
    PayloadHold hold = HoldAndCheck(path, id, type);
    LogExtracted(path, hold);
    if (hold.check != PayloadCheck::Intact) {
        CStringA text;
        text.FormatById(hold.check == PayloadCheck::NotHeld ? IDS_PAYLOAD_NOT_HELD : IDS_PAYLOAD_NOT_OURS,
                        path.GetString());
        throw Error::VsExceptionText(text, nullptr, 0);
    }
    return std::move(hold.file);
}

namespace {

// While it lives, the process's TEMP and TMP name the folder: what the runtime installer and
// Windows Installer's own part in this process put into their temporary folder lands where only
// administrators can write, and not in the person's folder. The person's values come back
// unchanged, in UTF-16, whatever the ANSI code page can carry.
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

INSTALLUILEVEL UiLevel(SetupUi ui)
{
    switch (ui) {
    case SetupUi::Quiet: return INSTALLUILEVEL_NONE;
    case SetupUi::Passive: return static_cast<INSTALLUILEVEL>(INSTALLUILEVEL_BASIC | INSTALLUILEVEL_PROGRESSONLY);
    case SetupUi::Full: break;
    }
    return INSTALLUILEVEL_FULL;
}

// The person's run asks; an unattended one closes only when told to, and otherwise changes
// nothing while Outlook runs. Gives the exit code that ends the run, or ERROR_SUCCESS.
UINT GetOutlookOutOfTheWay(const SetupOptions& options)
{
    COutlookLauncher launcher;
    if (!options.Unattended()) {
        CStringA question;
        question.LoadById(IDS_CLOSE_OUTLOOK_QUESTION);
        return launcher.CloseOutlook(question) ? ERROR_SUCCESS : ERROR_INSTALL_USEREXIT;
    }
    if (options.closeOutlook)
        return launcher.CloseOutlook(CStringA()) ? ERROR_SUCCESS : ERROR_INSTALL_USEREXIT;
    if (launcher.IsOutlookRunning()) {
        SetupLog::Write("Outlook: running, and this unattended run may not close it (/closeoutlook); nothing "
                        "changed");
        return ERROR_INSTALL_ALREADY_RUNNING;
    }
    SetupLog::Write("Outlook: not running");
    return ERROR_SUCCESS;
}

} // namespace

bool InstallEdition(const EditionProfile& profile, UINT* exitCode, VsFsPath* workFolder, const SetupOptions& options)
{
    UINT ignored = 0;
    UINT& code = exitCode != nullptr ? *exitCode : ignored;
    const MsiFunctions& msi = Msi();
    if (!MsiAvailable(msi)) {
        SetupLog::Write("Windows Installer cannot be reached");
        code = ERROR_INSTALL_SERVICE_FAILURE;
        return false;
    }

    char relatedProduct[64] = {};
    if (EditionInstalled(msi, profile.germanUpgradeCode, relatedProduct)) {
        ShowOtherEdition("german", options);
        code = ERROR_PRODUCT_VERSION;
        return false;
    }
    if (EditionInstalled(msi, profile.polishUpgradeCode, relatedProduct)) {
        ShowOtherEdition("polish", options);
        code = ERROR_PRODUCT_VERSION;
        return false;
    }

    SetupLog::Write("Language guard: no German or Polish edition installed");
    const bool installed = ProductInstalled(msi, profile.productCode);
    SetupLog::Write("This edition %s: %s", profile.productCode, installed ? "installed" : "not installed");

    // Everything the installation needs is in place before Outlook is asked to close: a person
    // is never left with a closed Outlook and nothing installed for want of a folder or a file.
    WorkFolder work;
    CreateWorkFolder(work);
    SetupLog::Write("Work folder: %s", work.Path().GetString());
    const VsFsPath packagePath = work.Path().Combine(profile.packageFileName);
    const UniqueKernelHandle packageHold = ExtractHeld(packagePath, profile.packageResource, "MSI");
    const VsFsPath runtimePath = work.Path().Combine(profile.runtimeFileName);
    const UniqueKernelHandle runtimeHold = ExtractHeld(runtimePath, profile.runtimeResource, "EXE");

    code = GetOutlookOutOfTheWay(options);
    if (code != ERROR_SUCCESS)
        return false;

    const ScopedTemporaryFolder temporary(work.Path());
    // Quoted: unquoted, a folder with blanks would let the platform try a shorter name first.
    CStringA runtimeCommand;
    runtimeCommand.Format("\"%s\" /q:a", runtimePath.GetString());
    RunAndWait(runtimeCommand, work.Path());

    msi.SetInternalUI(UiLevel(options.ui), nullptr);
    if (options.Unattended())
        SetupLog::Write("Windows Installer: %s", options.ui == SetupUi::Quiet ? "no interface" : "progress bar only");
    // Beside an administrator's log, else in the work folder.
    const VsFsPath msiLogFolder = options.logPath.IsEmpty() ? work.Path() : VsFsPath(options.logPath).GetFolder();
    const VsFsPath msiLog = *SetupLog::MsiLogName() != '\0' ? msiLogFolder.Combine(SetupLog::MsiLogName()) : VsFsPath();
    CStringA commandLine = installed ? kReinstallCommandLine : kInstallCommandLine;
    if (options.noRestart)
        commandLine += " REBOOT=ReallySuppress";
    SetupLog::Write("Windows Installer: %s \"%s\", verbose log %s", packagePath.GetString(), commandLine.GetString(),
                    EnableMsiVerboseLog(msiLog) ? msiLog.GetString() : "none");
    // From here the folder stays: Windows Installer repairs from the package where it was
    // installed from, and support reads its log there.
    work.Keep();
    if (workFolder != nullptr)
        *workFolder = work.Path();
    const UINT result = installed ? msi.InstallProduct(packagePath, commandLine)
                                  : InstallFresh(msi, packagePath, commandLine);
    SetupLog::Write("Windows Installer: result %u", result);
    code = result;
    return result == ERROR_SUCCESS;
}

void RunAndWait(const char* commandLine, const char* folder)
{
    STARTUPINFOA startup = {};
    GetStartupInfoA(&startup);
    // 68 bytes in the shipped 32-bit build.
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};

    CStringA writable(commandLine);
    char* line = writable.GetBuffer(writable.GetLength());
    // The program runs in the folder, so that its own search for DLLs starts there and not in a
    // folder of the person's.
    const BOOL started =
        CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &info);
    const DWORD startError = started ? 0 : GetLastError();
    writable.ReleaseBuffer();
    if (!started) {
        SetupLog::Write("Runtime installer %s: cannot be started (error %lu)", commandLine, startError);
        return;
    }

    const UniqueProcessHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    SetupLog::Write("Runtime installer %s: exit code %lu", commandLine, exitCode);
}
