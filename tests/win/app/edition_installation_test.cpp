// The installation sequence in this process, with Windows Installer's entry points replaced:
// the moment Windows Installer is called is where these tests look at the machine (the registry
// value, the payloads held open, the runtime installer's run), which a real installation does
// not let a test do, and results such as 3010 cannot be had on demand. The rest is real: this
// program carries the setup's own resources, the runtime stand-in runs, files land in the run's
// own work folder in Windows' Temp folder. The lab (tests/lab) runs the same with real
// installations.
#include "app/edition_installation.h"
#include "app/msi_api.h"
#include "app/program_run.h"
#include "foundation/error.h"
#include "outlook/toolhelp32_wrapper.h"
#include "tests/win/support/fake_windows_installer.h"
#include "tests/win/support/modal_watcher.h"
#include "tests/win/support/temp_dir.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char kSettingsKey[] = "Software\\Vostrel\\Outlook Enclosa";
const char kProductX86[] = "{9531985D-5D9D-49F8-9818-E811892F902B}";

// What the machine looked like the moment Windows Installer was called.
struct AtCall {
    std::string initializedAtCall;
    bool payloadsChangeableAtCall = true;
    std::string runtimeLogAtCall;
    std::string placesAtCall;
    std::string temporaryAtCall;
};
AtCall g_atCall;
std::string g_workFolder;
std::string g_runtimePath;

std::string InitializedValue()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "no key";
    DWORD value = 0;
    DWORD size = sizeof value;
    const bool present = RegQueryValueExA(key, "Initialized", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                          &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return present ? std::to_string(value) : "absent";
}

void SetInitialized(DWORD value)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &key, nullptr));
    RegSetValueExA(key, "Initialized", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

std::string Variable(const char* name)
{
    char value[8192] = {};
    GetEnvironmentVariableA(name, value, sizeof value);
    return value;
}

// A folder of the person's on the PATH, in HKCU\Environment and so in this elevated process's
// own PATH, while it lives.
class PersonsPath {
public:
    explicit PersonsPath(const std::string& folder) : m_processPath(Variable("PATH"))
    {
        DWORD size = sizeof m_saved;
        m_wasSet = RegGetValueA(HKEY_CURRENT_USER, "Environment", "PATH", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ |
                                RRF_NOEXPAND, nullptr, m_saved, &size) == ERROR_SUCCESS;
        RegSetKeyValueA(HKEY_CURRENT_USER, "Environment", "PATH", REG_EXPAND_SZ, folder.c_str(),
                        static_cast<DWORD>(folder.size() + 1));
        SetEnvironmentVariableA("PATH", (m_processPath + ";" + folder).c_str());
    }
    ~PersonsPath()
    {
        SetEnvironmentVariableA("PATH", m_processPath.c_str());
        if (m_wasSet)
            RegSetKeyValueA(HKEY_CURRENT_USER, "Environment", "PATH", REG_EXPAND_SZ, m_saved, std::strlen(m_saved) + 1);
        else
            RegDeleteKeyValueA(HKEY_CURRENT_USER, "Environment", "PATH");
    }
    PersonsPath(const PersonsPath&) = delete;
    PersonsPath& operator=(const PersonsPath&) = delete;

private:
    std::string m_processPath;
    bool m_wasSet = false;
    char m_saved[8192] = {};
};

// True when another program could write, rename or delete the file right now.
bool Changeable(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return true;
    }
    const std::string moved = path + ".moved";
    if (MoveFileA(path.c_str(), moved.c_str())) {
        MoveFileA(moved.c_str(), path.c_str());
        return true;
    }
    return false;
}

// What the runtime stand-in logs: its command lines, or the folders it ran in (places.log).
std::string RuntimeLog(const char* name = "runtime.log")
{
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return ReadFileBytes(std::string(folder) + "\\VsEnclosaStandin\\" + name);
}

void LookAtTheMachine(const char* package, const char*)
{
    g_workFolder = std::string(package).substr(0, std::string(package).rfind('\\'));
    g_runtimePath = g_workFolder + "\\vc_redist86.exe";
    g_atCall.initializedAtCall = InitializedValue();
    g_atCall.payloadsChangeableAtCall = Changeable(package) || Changeable(g_runtimePath);
    g_atCall.runtimeLogAtCall = RuntimeLog();
    g_atCall.placesAtCall = RuntimeLog("places.log");
    g_atCall.temporaryAtCall = Variable("TMP");
}

class EditionInstallation : public testing::Test {
protected:
    void SetUp() override
    {
        g_atCall = AtCall();
        m_msi.onInstall = LookAtTheMachine;
        UseTempFolder(m_temp.Path() + "\\temp");
        m_initialized = InitializedValue();
        SetInitialized(1);
    }

    void TearDown() override
    {
        if (m_initialized == "no key" || m_initialized == "absent") {
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
                RegDeleteValueA(key, "Initialized");
                RegCloseKey(key);
            }
        } else {
            SetInitialized(std::stoul(m_initialized));
        }
    }

    void UseTempFolder(const std::string& folder)
    {
        CreateDirectoryA(folder.c_str(), nullptr);
        m_temp.PointTmpAt(folder);
        m_folder = folder + "\\";
        g_workFolder.clear();
        g_runtimePath.clear();
    }

    // Runs the sequence with the 32-bit profile, as the person's run; no box may appear.
    static InstallResult Install()
    {
        ModalWatcher watcher(IDOK);
        const SetupOptions options;
        InstallResult result = InstallEdition(kEditionProfileX86, options, Interaction(options));
        EXPECT_TRUE(watcher.Boxes().empty()) << watcher.Boxes().front().text;
        return result;
    }

    TmpDir m_temp;
    std::string m_folder;
    NewWorkFolders m_workFolders;
    FakeWindowsInstaller m_msi;

private:
    std::string m_initialized;
};

TEST_F(EditionInstallation, FreshInstallationRunsTheRuntimeThenDeletesTheValueWithThePayloadsHeld)
{
    const std::string logBefore = RuntimeLog();
    const std::string placesBefore = RuntimeLog("places.log");
    const PersonsPath personsPath(m_temp / "person's tools");
    const std::string pathBefore = Variable("PATH");
    const std::string temporaryBefore = Variable("TMP");
    const InstallResult result = Install();
    ASSERT_TRUE(result.installed);
    EXPECT_EQ(0u, result.exitCode);

    ASSERT_EQ(1, m_msi.installs);
    // A folder of the run's own in Windows' Temp folder, never the person's temporary folder.
    ASSERT_EQ(m_workFolders.Paths(), std::vector<std::string>{g_workFolder});
    EXPECT_EQ(g_workFolder, result.workFolder.GetString());
    char windows[MAX_PATH] = {};
    GetSystemWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(g_workFolder.rfind(std::string(windows) + "\\Temp\\VsEnclosaSetupBoot-{", 0), 0u) << g_workFolder;
    EXPECT_EQ(g_workFolder + "\\VsEnclosaSetup.msi", m_msi.package);
    EXPECT_TRUE(FolderEntries(m_folder).empty()) << "nothing in the person's temporary folder";
    EXPECT_EQ("ACTION=INSTALL", m_msi.commandLine);
    EXPECT_EQ(std::vector<INSTALLUILEVEL>{INSTALLUILEVEL_FULL}, m_msi.uiLevels);
    EXPECT_EQ("absent", g_atCall.initializedAtCall);
    // The runtime installer had run to its end, with its path quoted, in the work folder and with
    // the work folder as its temporary folder, before the installation; with the system's PATH,
    // not the person's. Only while Windows Installer runs is the work folder the setup's own.
    const std::string ran = g_atCall.runtimeLogAtCall.substr(logBefore.size());
    EXPECT_EQ("\"" + g_runtimePath + "\" /q:a\r\n", ran);
    const std::string places = g_atCall.placesAtCall.substr(placesBefore.size());
    EXPECT_EQ(places.rfind(g_workFolder + "|" + g_workFolder + "\\|", 0), 0u) << places;
    EXPECT_NE(places.find("system32"), std::string::npos) << places;
    EXPECT_EQ(places.find("person's tools"), std::string::npos) << places;
    EXPECT_EQ(g_workFolder, g_atCall.temporaryAtCall);
    EXPECT_EQ(temporaryBefore, Variable("TMP"));
    EXPECT_EQ(pathBefore, Variable("PATH"));
    EXPECT_FALSE(g_atCall.payloadsChangeableAtCall);

    // Both files stay, and nothing holds them any more.
    EXPECT_TRUE(Changeable(m_msi.package));
    EXPECT_TRUE(Changeable(g_runtimePath));
    EXPECT_GT(ReadFileBytes(m_msi.package).size(), 0u);
}

TEST_F(EditionInstallation, ThisEditionInstalledIsReinstalledAndTheValueKept)
{
    m_msi.products = {"{00000000-0000-0000-0000-000000000001}", kProductX86};
    const std::string logBefore = RuntimeLog();
    ASSERT_TRUE(Install().installed);
    EXPECT_EQ("ACTION=INSTALL REINSTALL=ALL REINSTALLMODE=vomus", m_msi.commandLine);
    EXPECT_EQ("1", g_atCall.initializedAtCall);
    EXPECT_EQ("1", InitializedValue());
    EXPECT_NE(logBefore, g_atCall.runtimeLogAtCall) << "the runtime installer runs on a reinstallation too";
}

TEST_F(EditionInstallation, ProductCodeDifferingInLetterCaseIsAnotherProduct)
{
    m_msi.products = {"{9531985d-5d9d-49f8-9818-e811892f902b}"};
    ASSERT_TRUE(Install().installed);
    EXPECT_EQ("ACTION=INSTALL", m_msi.commandLine);
}

TEST_F(EditionInstallation, EveryResultButSuccessFailsWithThatResult)
{
    for (UINT result : {ERROR_INSTALL_USEREXIT, ERROR_INSTALL_FAILURE, ERROR_SUCCESS_REBOOT_INITIATED,
                        ERROR_SUCCESS_REBOOT_REQUIRED}) {
        m_msi.installResult = result;
        const InstallResult installation = Install();
        EXPECT_FALSE(installation.installed) << result;
        EXPECT_EQ(result, installation.exitCode);
    }
}

// A process list that cannot be read (from a process-list module that cannot be loaded: the
// platform cannot be made to refuse one on demand) ends the run before anything is run.
TEST_F(EditionInstallation, ProcessListThatCannotBeReadEndsTheRunBeforeAnythingRuns)
{
    const std::string logBefore = RuntimeLog();
    const ScopedToolHelpFunctions unreadable({[] { return LoadLibraryA("no_such_toolhelp_module.dll"); }});
    EXPECT_THROW(Install(), Error::VsExceptionCommon);
    EXPECT_EQ(logBefore, RuntimeLog());
    EXPECT_EQ(0, m_msi.installs);
    EXPECT_TRUE(m_workFolders.Paths().empty());
}

// Another program of the person's has put its own program at the runtime installer's name in
// the person's temporary folder, and holds it; or there is no usable temporary folder at all.
// The setup's files are in its own work folder: neither is in its way, and nothing lands in the
// current folder.
TEST_F(EditionInstallation, NothingOfTheTemporaryFolderIsRunOrNeeded)
{
    const std::string logBefore = RuntimeLog();
    const std::string planted = m_folder + "vc_redist86.exe";
    ASSERT_TRUE(CopyFileA(VS_PLANTED_PROGRAM, planted.c_str(), FALSE));
    HANDLE squatter = CreateFileA(planted.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(squatter, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(Install().installed);
    CloseHandle(squatter);
    EXPECT_FALSE(FileExists(planted + ".ran"));
    EXPECT_EQ("\"" + g_runtimePath + "\" /q:a\r\n", g_atCall.runtimeLogAtCall.substr(logBefore.size()));

    TempDir current;
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(current.Path().c_str()));
    // Too long for the platform to give as the temporary folder.
    m_temp.PointTmpAt(m_folder + std::string(300, 'L'));
    EXPECT_TRUE(Install().installed);
    SetCurrentDirectoryA(saved);
    EXPECT_TRUE(FolderEntries(current.Path()).empty());
    EXPECT_EQ(2, m_msi.installs);
}

// A folder with blanks and a program planted where an unquoted line would be misread: the
// setup quotes the runtime installer's path.
TEST(RunAndWait, AQuotedPathRunsItsOwnProgramNotTheOnePlantedBesideItsFolder)
{
    TempDir temp;
    const std::string folder = temp / "Vs Lab Temp";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string program = folder + "\\vc_redist86.exe";
    const std::string planted = temp / "Vs.exe";
    ASSERT_TRUE(CopyFileA(VS_PLANTED_PROGRAM, program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(VS_PLANTED_PROGRAM, planted.c_str(), FALSE));

    RunAndWait(("\"" + program + "\" /q:a").c_str(), folder.c_str());
    EXPECT_TRUE(FileExists(program + ".ran"));
    EXPECT_FALSE(FileExists(planted + ".ran"));

    // The plant works: the same line without quotation marks runs it.
    RunAndWait((program + " /q:a").c_str(), folder.c_str());
    EXPECT_TRUE(FileExists(planted + ".ran"));
}

TEST(RunAndWait, ReturnsOnlyAfterTheProgramHasEnded)
{
    TempDir temp;
    const std::string program = temp / "recorder.exe";
    ASSERT_TRUE(CopyFileA(VS_PLANTED_PROGRAM, program.c_str(), FALSE));
    const ProgramRun run = RunAndWait(("\"" + program + "\" --sleep=700").c_str(), temp.Path().c_str());
    EXPECT_TRUE(FileExists(program + ".ran"));
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.exitCode, 0u);

    // A line that cannot start is told apart.
    EXPECT_FALSE(RunAndWait(("\"" + temp / "missing.exe" + "\"").c_str(), temp.Path().c_str()).started);
}

} // namespace
