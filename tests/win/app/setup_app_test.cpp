// The application object in this process, with Windows Installer's entry points replaced: the
// results of an installation (cancelled, failed, restart needed) and exceptions cannot be had
// from a real installation on demand. The rest of the run is real: the installation sequence,
// the Outlook check, the extraction of the setup's own resources into the run's work folder.
#include "app/command_line.h"
#include "app/setup_app.h"
#include "foundation/error.h"
#include "foundation/setup_log.h"
#include "framework/message_box.h"
#include "tests/win/support/fake_windows_installer.h"
#include "tests/win/support/modal_watcher.h"
#include "tests/win/support/temp_dir.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace {

const char kX64OutlookComponent[] = "{ECCC8A38-7855-46CA-88FB-3BAA7CD95E56}";

enum class Thrown { Nothing, SetupError, Other } g_thrown = Thrown::Nothing;

// Asking for a component throws when a test says so.
void ThrowWhenTold(const char*)
{
    if (g_thrown == Thrown::SetupError)
        throw Error::VsExceptionText("Failed to create directory 'C:\\welcome'", nullptr, 0);
    if (g_thrown == Thrown::Other)
        throw std::bad_alloc();
}

class SetupApp : public testing::Test {
protected:
    void SetUp() override
    {
        g_thrown = Thrown::Nothing;
        m_msi.components[kX64OutlookComponent] = {};
        m_msi.onLocate = ThrowWhenTold;
    }

    // Runs the application as the framework does, with these arguments; gives the exit code. The
    // run's log is added to m_log and removed.
    int Run(LPCWSTR arguments = L"")
    {
        VsEnclosaSetupBootApp app;
        app.m_lpCmdLine = arguments;
        EXPECT_FALSE(app.InitInstance());
        const int exitCode = app.ExitInstance();
        m_log += ReadFileBytes(SetupLog::Path());
        DeleteFileA(SetupLog::Path());
        return exitCode;
    }

    FakeWindowsInstaller m_msi;
    // The person's temporary folder, which no run writes.
    TmpDir m_temp;
    NewWorkFolders m_workFolders;
    std::string m_log;
};

TEST_F(SetupApp, AFailedInstallationEndsWithWindowsInstallersResultAndNeverStartsGdiplus)
{
    ModalWatcher watcher(IDOK);
    // Windows Installer's log, beside the setup's, is held while Windows Installer writes it.
    bool logHeldAtCall = false;
    m_msi.onInstall = [&](const char*, const char*) {
        logHeldAtCall = FileExists(m_msi.logPath) && !Renamable(m_msi.logPath);
    };
    // Cancelled, failed, and the two that need a restart.
    for (UINT result : {ERROR_INSTALL_USEREXIT, ERROR_INSTALL_FAILURE, ERROR_SUCCESS_REBOOT_REQUIRED,
                        ERROR_SUCCESS_REBOOT_INITIATED}) {
        SCOPED_TRACE(testing::Message() << "Windows Installer gives " << result);
        m_msi.installResult = result;
        m_msi.installs = 0;
        logHeldAtCall = false;
        EXPECT_EQ(Run(), int(result));
        EXPECT_EQ(m_msi.installs, 1);
        const std::string log = SetupLog::Path();
        EXPECT_EQ(m_msi.logPath, log.substr(0, log.size() - 4) + "-msi.log");
        EXPECT_EQ(m_msi.logAttributes, static_cast<DWORD>(INSTALLLOGATTRIBUTES_APPEND)) << "never truncated";
        EXPECT_TRUE(logHeldAtCall);
        DeleteFileA(m_msi.logPath.c_str());
        // The folder stays with the package for repairs.
        const std::vector<std::string> kept = m_workFolders.Paths();
        EXPECT_TRUE(std::any_of(kept.begin(), kept.end(), [](const std::string& folder) {
            return FileExists(folder + "\\VsEnclosaSetupx64.msi");
        }));
    }
    EXPECT_TRUE(watcher.Boxes().empty());
    EXPECT_EQ(GetModuleHandleA("gdiplus.dll"), nullptr);
    EXPECT_TRUE(FolderEntries(m_temp.Path()).empty()) << "nothing in the person's temporary folder";
}

// Without msi.dll's entry points there is no telling whether Outlook is installed: Windows
// Installer's own code for that, not "no Outlook"; nothing is made.
TEST_F(SetupApp, WithoutWindowsInstallerTheRunEndsWith1601)
{
    ModalWatcher watcher(IDOK);
    const ScopedMsiFunctions withoutWindowsInstaller{MsiFunctions()};
    EXPECT_EQ(Run(), ERROR_INSTALL_SERVICE_FAILURE);
    EXPECT_TRUE(watcher.Boxes().empty());
    EXPECT_TRUE(m_workFolders.Paths().empty());
    EXPECT_NE(m_log.find("Windows Installer cannot be reached"), std::string::npos) << m_log;
}

TEST_F(SetupApp, ExceptionsAreShownAndEndWith1603)
{
    ModalWatcher watcher(IDOK);
    g_thrown = Thrown::SetupError;
    EXPECT_EQ(Run(), ERROR_INSTALL_FAILURE);
    g_thrown = Thrown::Other;
    EXPECT_EQ(Run(), ERROR_INSTALL_FAILURE);
    EXPECT_EQ(m_msi.installs, 0);

    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].text, "Failed to create directory 'C:\\welcome'");
    EXPECT_EQ(boxes[0].icon, StockIcon(IDI_ERROR));
    EXPECT_EQ(boxes[1].caption, AfxGetAppTitle());
    EXPECT_EQ(boxes[1].text, "Unknown error while installing Vostrel Outlook Enclosa.");
    EXPECT_EQ(boxes[1].buttonIds, std::vector<int>{IDOK});
    EXPECT_EQ(boxes[1].icon, StockIcon(IDI_EXCLAMATION));
}

// The Error box has its text logged in an unattended run, and a command line that the ANSI
// code page cannot carry is refused before anything happens (the lab's driver passes only
// narrow command lines, so this one is given here).
TEST_F(SetupApp, AnUnattendedRunShowsNoBoxAndAPathOutsideTheCodePageIsRefused)
{
    ModalWatcher watcher(IDOK);
    g_thrown = Thrown::SetupError;
    EXPECT_EQ(Run(L"/quiet"), ERROR_INSTALL_FAILURE);
    g_thrown = Thrown::Other;
    EXPECT_EQ(Run(L"/passive"), ERROR_INSTALL_FAILURE);
    g_thrown = Thrown::Nothing;
    // "Łukasz" has no exact form in code page 1252 or 932; a best fit would name another folder.
    EXPECT_EQ(Run(L"/quiet /layout C:\\Users\\\x0141ukasz\\layout"), ERROR_INVALID_COMMAND_LINE);
    EXPECT_EQ(Run(L"/log C:\\\x0141ukasz.log"), ERROR_INVALID_COMMAND_LINE);
    EXPECT_EQ(m_msi.installs, 0);

    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find("cannot carry; give paths whose names it can."), std::string::npos);
    const std::string& log = m_log;
    EXPECT_NE(log.find("Error box not shown (unattended run): Failed to create directory 'C:\\welcome'"),
              std::string::npos);
    EXPECT_NE(log.find("Box not shown (unattended run): Unknown error while installing"), std::string::npos);
    EXPECT_NE(log.find("Command line: refused: The command line holds characters"), std::string::npos);
    EXPECT_EQ(log.find("Layout:"), std::string::npos);
}

// The setup's splitter and the platform's own parser give the same arguments: over a table of
// lines where C runtimes differ or a hand-written rule slips, and over every line of up to six
// characters made of a letter, the two blanks, a quote and a backslash.
TEST(SplitArguments, AgreesWithCommandLineToArgvW)
{
    std::vector<std::wstring> lines = {
        L"/log \"C:\\Deploy logs\\setup.log\" /q", L"\"say \"\"hi\"\".log\"", L"a\"\"\"b\" c", L"\"\"\"\"\" x",
        L"\"C:\\share\\\\\" next", L"C:\\trailing\\", L"\"C:\\odd\\\" still quoted",
        L"a\\\\\\\"b", L"\t\"\"\t\"\" ", L"x\"y z\"w \"unclosed \t tab",
    };
    const wchar_t kAlphabet[] = L"a \t\"\\";
    for (int length = 1, count = 5; length <= 6; ++length, count *= 5) {
        for (int n = 0; n < count; ++n) {
            std::wstring line;
            for (int rest = n, i = 0; i < length; ++i, rest /= 5)
                line += kAlphabet[rest % 5];
            lines.push_back(line);
        }
    }
    for (const std::wstring& line : lines) {
        int count = 0;
        LPWSTR* platform = CommandLineToArgvW((L"setup.exe " + line).c_str(), &count);
        ASSERT_NE(platform, nullptr);
        const std::vector<std::wstring> expected(platform + 1, platform + count);
        LocalFree(platform);
        std::vector<std::wstring> split;
        for (const WideArgument& argument : SplitArguments(line.c_str()))
            split.emplace_back(argument.data());
        ASSERT_EQ(split, expected) << "command line: [" << line << "]";
    }
}

} // namespace
