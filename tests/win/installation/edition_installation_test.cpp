// The installation sequence in this process, with Windows Installer's entry points replaced:
// the moment Windows Installer is called is where these tests look at the machine (the registry
// value, the payloads held open, the runtime installer's run), which a real installation does
// not let a test do, and results such as 3010 cannot be had on demand. The rest is real: this
// program carries the setup's own resources, the runtime stand-in runs, files land in a
// temporary folder of the test's own. The lab (tools/lab) runs the same with real installations.
#include "app/edition_installation.h"
#include "app/msi_api.h"
#include "foundation/error.h"
#include "tests/win/support/modal_watcher.h"
#include "tests/win/support/temp_dir.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

const char kSettingsKey[] = "Software\\Vostrel\\Outlook Enclosa";
const char kProductX86[] = "{9531985D-5D9D-49F8-9818-E811892F902B}";

// What the fake Windows Installer is told to answer, and what it saw when it was called.
struct FakeInstaller {
    std::vector<std::string> products;
    UINT result = ERROR_SUCCESS;
    int uiLevel = -1;
    int calls = 0;
    std::string package;
    std::string commandLine;
    std::string initializedAtCall;
    bool payloadsChangeableAtCall = true;
    std::string runtimeLogAtCall;
};
FakeInstaller g_fake;
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

std::string RuntimeLog()
{
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder);
    return ReadFileBytes(std::string(folder) + "\\VsEnclosaStandin\\runtime.log");
}

UINT WINAPI NoRelatedProducts(LPCSTR, DWORD, DWORD, LPSTR) { return ERROR_NO_MORE_ITEMS; }

UINT WINAPI EnumProducts(DWORD index, LPSTR code)
{
    if (index >= g_fake.products.size())
        return ERROR_NO_MORE_ITEMS;
    lstrcpyA(code, g_fake.products[index].c_str());
    return ERROR_SUCCESS;
}

INSTALLUILEVEL WINAPI SetUiLevel(INSTALLUILEVEL level, HWND*)
{
    g_fake.uiLevel = level;
    return INSTALLUILEVEL_DEFAULT;
}

UINT WINAPI InstallProduct(LPCSTR package, LPCSTR commandLine)
{
    ++g_fake.calls;
    g_fake.package = package;
    g_fake.commandLine = commandLine;
    g_fake.initializedAtCall = InitializedValue();
    g_fake.payloadsChangeableAtCall = Changeable(package) || Changeable(g_runtimePath);
    g_fake.runtimeLogAtCall = RuntimeLog();
    return g_fake.result;
}

class EditionInstallation : public testing::Test {
protected:
    void SetUp() override
    {
        g_fake = FakeInstaller();
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
        g_runtimePath = m_folder + "vc_redist86.exe";
    }

    // Runs the sequence with the 32-bit profile; no box may appear.
    bool Install(UINT& exitCode)
    {
        ModalWatcher watcher(IDOK);
        const bool installed = InstallEdition(kEditionProfileX86, &exitCode);
        EXPECT_TRUE(watcher.Boxes().empty()) << watcher.Boxes().front().text;
        return installed;
    }

    TmpDir m_temp;
    std::string m_folder;

private:
    const ScopedMsiFunctions m_msi{{nullptr, NoRelatedProducts, EnumProducts, SetUiLevel, InstallProduct}};
    std::string m_initialized;
};

TEST_F(EditionInstallation, FreshInstallationRunsTheRuntimeThenDeletesTheValueWithThePayloadsHeld)
{
    const std::string logBefore = RuntimeLog();
    UINT exitCode = 1;
    ASSERT_TRUE(Install(exitCode));
    EXPECT_EQ(0u, exitCode);

    ASSERT_EQ(1, g_fake.calls);
    EXPECT_EQ(m_folder + "VsEnclosaSetup.msi", g_fake.package);
    EXPECT_EQ("ACTION=INSTALL", g_fake.commandLine);
    EXPECT_EQ(INSTALLUILEVEL_FULL, g_fake.uiLevel);
    EXPECT_EQ("absent", g_fake.initializedAtCall);
    // The runtime installer had run to its end, with its path quoted, before the installation.
    const std::string ran = g_fake.runtimeLogAtCall.substr(logBefore.size());
    EXPECT_EQ("\"" + g_runtimePath + "\" /q:a\r\n", ran);
    EXPECT_FALSE(g_fake.payloadsChangeableAtCall);

    // Both files stay, and nothing holds them any more.
    EXPECT_TRUE(Changeable(m_folder + "VsEnclosaSetup.msi"));
    EXPECT_TRUE(Changeable(g_runtimePath));
    EXPECT_GT(ReadFileBytes(m_folder + "VsEnclosaSetup.msi").size(), 0u);
}

TEST_F(EditionInstallation, ThisEditionInstalledIsReinstalledAndTheValueKept)
{
    g_fake.products = {"{00000000-0000-0000-0000-000000000001}", kProductX86};
    const std::string logBefore = RuntimeLog();
    UINT exitCode = 1;
    ASSERT_TRUE(Install(exitCode));
    EXPECT_EQ("ACTION=INSTALL REINSTALL=ALL REINSTALLMODE=vomus", g_fake.commandLine);
    EXPECT_EQ("1", g_fake.initializedAtCall);
    EXPECT_EQ("1", InitializedValue());
    EXPECT_NE(logBefore, g_fake.runtimeLogAtCall) << "the runtime installer runs on a reinstallation too";
}

TEST_F(EditionInstallation, ProductCodeDifferingInLetterCaseIsAnotherProduct)
{
    g_fake.products = {"{9531985d-5d9d-49f8-9818-e811892f902b}"};
    UINT exitCode = 1;
    ASSERT_TRUE(Install(exitCode));
    EXPECT_EQ("ACTION=INSTALL", g_fake.commandLine);
}

TEST_F(EditionInstallation, EveryResultButSuccessFailsWithThatResult)
{
    for (UINT result : {ERROR_INSTALL_USEREXIT, ERROR_INSTALL_FAILURE, ERROR_SUCCESS_REBOOT_INITIATED,
                        ERROR_SUCCESS_REBOOT_REQUIRED}) {
        g_fake.result = result;
        UINT exitCode = 0;
        EXPECT_FALSE(Install(exitCode)) << result;
        EXPECT_EQ(result, exitCode);
    }
}

TEST_F(EditionInstallation, WithoutWindowsInstallerNothingIsWrittenAndTheRunFails)
{
    const ScopedMsiFunctions withoutWindowsInstaller{MsiFunctions()};
    UINT exitCode = 0;
    EXPECT_FALSE(Install(exitCode));
    EXPECT_EQ(static_cast<UINT>(ERROR_INSTALL_SERVICE_FAILURE), exitCode);
    EXPECT_FALSE(FileExists(m_folder + "VsEnclosaSetup.msi"));
    EXPECT_FALSE(FileExists(g_runtimePath));
    EXPECT_EQ("1", InitializedValue());
}

// The text of the error the sequence raises; empty when it raised none.
std::string RaisedText(UINT& exitCode)
{
    try {
        InstallEdition(kEditionProfileX86, &exitCode);
    } catch (const Error::VsException& error) {
        return error.GetReportText().GetString();
    }
    return {};
}

TEST_F(EditionInstallation, NothingRunsOrInstallsUnlessTheFolderAndBothPayloadsCanBeTrusted)
{
    const std::string logBefore = RuntimeLog();
    UINT exitCode = 0;

    // No temporary folder (its path is too long): no bare names in the current folder.
    m_temp.PointTmpAt(m_folder + std::string(300, 'L'));
    EXPECT_EQ(RaisedText(exitCode).rfind("The Installer cannot find the temporary folder", 0), 0u);
    EXPECT_FALSE(FileExists("VsEnclosaSetup.msi"));
    EXPECT_FALSE(FileExists("vc_redist86.exe"));
    UseTempFolder(m_temp.Path() + "\\temp");

    // Another program's file at the runtime installer's name, held so that ours cannot replace it.
    ASSERT_TRUE(CopyFileA(VS_PLANTED_PROGRAM, g_runtimePath.c_str(), FALSE));
    HANDLE squatter = CreateFileA(g_runtimePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(squatter, INVALID_HANDLE_VALUE);
    EXPECT_NE(RaisedText(exitCode).find("The file '" + g_runtimePath + "' is not the one the Installer wrote"),
              std::string::npos);
    CloseHandle(squatter);
    EXPECT_FALSE(FileExists(g_runtimePath + ".ran"));

    // A package that another program keeps open without any sharing cannot be held.
    const std::string package = m_folder + "VsEnclosaSetup.msi";
    HANDLE locker = CreateFileA(package.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locker, INVALID_HANDLE_VALUE);
    EXPECT_NE(RaisedText(exitCode).find("could not write and keep the file '" + package + "'"), std::string::npos);
    CloseHandle(locker);

    EXPECT_EQ(0, g_fake.calls);
    EXPECT_EQ(logBefore, RuntimeLog()) << "no runtime installer ran";
}

// A folder with blanks and a program planted where the unquoted line would be misread.
class TempFolderWithBlanks : public EditionInstallation {
protected:
    void SetUp() override
    {
        EditionInstallation::SetUp();
        UseTempFolder(m_temp.Path() + "\\Vs Lab Temp");
        m_planted = m_temp.Path() + "\\Vs.exe";
        ASSERT_TRUE(CopyFileA(VS_PLANTED_PROGRAM, m_planted.c_str(), FALSE));
    }

    std::string m_planted;
};

TEST_F(TempFolderWithBlanks, RuntimeStartsFromItsOwnFileNotFromThePlantedOne)
{
    const std::string logBefore = RuntimeLog();
    UINT exitCode = 1;
    ASSERT_TRUE(Install(exitCode));
    EXPECT_FALSE(FileExists(m_planted + ".ran"));
    EXPECT_EQ("\"" + g_runtimePath + "\" /q:a\r\n", g_fake.runtimeLogAtCall.substr(logBefore.size()));

    // The plant works: the same line without quotation marks runs it.
    RunAndWait((g_runtimePath + " /q:a").c_str());
    EXPECT_TRUE(FileExists(m_planted + ".ran"));
}

TEST(RunAndWait, ReturnsOnlyAfterTheProgramHasEnded)
{
    TempDir temp;
    const std::string program = temp / "recorder.exe";
    ASSERT_TRUE(CopyFileA(VS_PLANTED_PROGRAM, program.c_str(), FALSE));
    RunAndWait(("\"" + program + "\" --sleep=700").c_str());
    EXPECT_TRUE(FileExists(program + ".ran"));

    // A line that cannot start is ignored.
    RunAndWait(("\"" + temp / "missing.exe" + "\"").c_str());
}

} // namespace
