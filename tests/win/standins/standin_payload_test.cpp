// The stand-in payloads of a build without the maker's files do what the setup relies on: the
// product packages install silently and are known to Windows Installer by the product's codes,
// and the runtime installer stand-in runs quietly with /q:a and logs how it was started.
#include <gtest/gtest.h>

#include <windows.h>
#include <msi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

#include "foundation/unique_handle.h"
#include "tests/win/support/temp_dir.h"

namespace {

std::string PayloadPath(const char* name)
{
    std::string path = std::string("Z:") + VS_PAYLOAD_DIR + "/" + name;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string KnownFolder(int csidl)
{
    char folder[MAX_PATH] = "";
    EXPECT_EQ(S_OK, SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder));
    return folder;
}

// Runs a command line and gives its exit code; a program that does not end in time fails.
DWORD RunCommand(std::string commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return ~0u;
    }
    UniqueProcessHandle processHandle(process.hProcess);
    UniqueKernelHandle threadHandle(process.hThread);
    if (WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        ADD_FAILURE() << commandLine << " did not end within 120 s";
        return ~0u;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

struct StandinPackage {
    const char* file;
    const char* productCode;
    const char* upgradeCode;
    int programFiles;  // CSIDL of the folder the package installs under, seen from this process
    bool x64;
};

// The 32-bit tree's tests run on a 32-bit Windows (the i686 bed), which takes no 64-bit package.
bool WindowsIs64Bit()
{
#ifdef _WIN64
    return true;
#else
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}

class StandinPackageTest : public testing::TestWithParam<StandinPackage> {};

TEST_P(StandinPackageTest, InstallsSilentlyUnderTheProductCodesAndUninstalls)
{
    const StandinPackage& package = GetParam();
    if (package.x64 && !WindowsIs64Bit())
        GTEST_SKIP() << "a 32-bit Windows takes no 64-bit package";
    const std::string addinFile =
        KnownFolder(package.programFiles) + "\\Vostrel\\Outlook Enclosa\\VsOutlookEnclosa.txt";
    if (MsiQueryProductStateA(package.productCode) == INSTALLSTATE_DEFAULT)
        RunCommand(std::string("msiexec /x ") + package.productCode + " /qn");
    ASSERT_NE(INSTALLSTATE_DEFAULT, MsiQueryProductStateA(package.productCode));

    ASSERT_EQ(ERROR_SUCCESS, RunCommand("msiexec /i \"" + PayloadPath(package.file) + "\" /qn"));
    EXPECT_EQ(INSTALLSTATE_DEFAULT, MsiQueryProductStateA(package.productCode));
    char related[64] = "";
    EXPECT_EQ(ERROR_SUCCESS, MsiEnumRelatedProductsA(package.upgradeCode, 0, 0, related));
    EXPECT_STREQ(package.productCode, related);
    EXPECT_TRUE(FileExists(addinFile)) << addinFile;

    ASSERT_EQ(ERROR_SUCCESS, RunCommand(std::string("msiexec /x ") + package.productCode + " /qn"));
    EXPECT_EQ(INSTALLSTATE_UNKNOWN, MsiQueryProductStateA(package.productCode));
    EXPECT_FALSE(FileExists(addinFile)) << addinFile;
}

INSTANTIATE_TEST_SUITE_P(Packages, StandinPackageTest, testing::Values(
    StandinPackage{"VsEnclosaSetup.msi", "{9531985D-5D9D-49F8-9818-E811892F902B}", VS_STANDIN_UPGRADE_X86,
                   CSIDL_PROGRAM_FILESX86, false},
    StandinPackage{"VsEnclosaSetupx64.msi", "{8D116ECE-1738-47D9-BD9C-172411E20B8F}", VS_STANDIN_UPGRADE_X64,
                   CSIDL_PROGRAM_FILES, true}));

class StandinRuntimeTest : public testing::Test {
protected:
    const std::string m_log = KnownFolder(CSIDL_COMMON_APPDATA) + "\\VsEnclosaStandin\\runtime.log";
    TempDir m_folder;

    // Copies a runtime payload into a folder whose name has a blank, as a user's temporary
    // folder may, and gives the copy's path.
    std::string Place(const char* payload, const char* name)
    {
        CreateDirectoryA((m_folder / "with blank").c_str(), nullptr);
        const std::string path = m_folder / "with blank" + "\\" + name;
        EXPECT_TRUE(CopyFileA(PayloadPath(payload).c_str(), path.c_str(), FALSE)) << path;
        return path;
    }

    // The text a run appended to the log.
    std::string Appended(const std::string& before) const
    {
        const std::string after = ReadFileBytes(m_log);
        EXPECT_EQ(before, after.substr(0, before.size()));
        return after.size() > before.size() ? after.substr(before.size()) : std::string();
    }
};

TEST_F(StandinRuntimeTest, QuietRunLogsItsCommandLineAndSucceeds)
{
    for (const char* payload : {"vc_redist86.exe", "vc_redist64.exe"}) {
        const std::string commandLine = "\"" + Place(payload, payload) + "\" /q:a";
        const std::string before = ReadFileBytes(m_log);
        EXPECT_EQ(0u, RunCommand(commandLine)) << payload;
        EXPECT_EQ(commandLine + "\r\n", Appended(before)) << payload;
    }
}

TEST_F(StandinRuntimeTest, UnquotedPathWithBlankStillRunsQuietly)
{
    // The setup passes the path unquoted; the platform finds the program by its rule for
    // unquoted paths when no prefix of the path names another program.
    const std::string commandLine = Place("vc_redist64.exe", "vc_redist64.exe") + " /q:a";
    const std::string before = ReadFileBytes(m_log);
    EXPECT_EQ(0u, RunCommand(commandLine));
    // Wine hands the program its resolved name in quotation marks; Windows passes it as given.
    std::string logged = Appended(before);
    logged.erase(std::remove(logged.begin(), logged.end(), '"'), logged.end());
    EXPECT_EQ(commandLine + "\r\n", logged);
}

TEST_F(StandinRuntimeTest, RunWithoutQuietSwitchIsLoggedAndRefused)
{
    for (const char* arguments : {"", " /q", " /q:ab", " x/q:a"}) {
        const std::string commandLine = "\"" + Place("vc_redist64.exe", "vc_redist64.exe") + "\"" + arguments;
        const std::string before = ReadFileBytes(m_log);
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), RunCommand(commandLine)) << arguments;
        EXPECT_EQ(commandLine + "\r\n", Appended(before)) << arguments;
    }
}

} // namespace
