// The setup runs elevated: its log goes where only administrators can write, under a name
// nobody can know first, and a log an administrator names is refused wherever another program
// could redirect it. Wine keeps no access list or label, so the tests show the descriptor each
// file is made with (SecuredCreations), not that Windows keeps a user out; nor does Wine honour
// identification-level quality of service for a pipe (its server may impersonate fully).
#include "foundation/fs_path.h"
#include "foundation/setup_log.h"
#include "tests/directory_link/directory_link.h"
#include "tests/win/support/secured_creations.h"
#include "tests/win/support/temp_dir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

// Owned by Administrators; SYSTEM and Administrators full control, Users read, nothing inherited;
// no write from below high integrity. A log an administrator names keeps its folder's access list.
const char kAdministratorsOnly[] = "O:BAD:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)S:(ML;;NW;;;HI)";
const char kAdministratorsOwned[] = "O:BAS:(ML;;NW;;;HI)";

TEST(SetupLog, EveryRunLogsAnewInWindowsTempWithWindowsInstallersLogBeside)
{
    const SecuredCreations made;
    SetupLog::Open("9.8.7.6");
    const std::string log = SetupLog::Path();
    SetupLog::MsiLog msiLog = SetupLog::NewMsiLog();
    SetupLog::Close();
    // VsEnclosaSetupBoot-<YYYYMMDD-HHMMSS>-<GUID>.log, and Windows Installer's named after the run.
    const std::string prefix = std::string(GetWindowsTempFolder().GetString()) + "\\VsEnclosaSetupBoot-";
    ASSERT_EQ(log.rfind(prefix, 0), 0u) << log;
    ASSERT_EQ(log.size(), prefix.size() + 15 + 1 + 38 + 4) << log;
    const std::string run = log.substr(prefix.size(), 54);
    EXPECT_EQ(ReadFileBytes(log).rfind("==== Run " + run + ", ", 0), 0u);
    const std::string msiPath = msiLog.path;
    EXPECT_EQ(msiPath, prefix + run + "-msi.log");
    EXPECT_TRUE(made.MadeWith(log, kAdministratorsOnly) && made.MadeWith(msiPath, kAdministratorsOnly));
    // Held while Windows Installer writes it (the lab shows that it can): nobody takes the name.
    EXPECT_FALSE(Renamable(msiPath));
    msiLog = SetupLog::MsiLog();
    DeleteFileA(log.c_str());
    DeleteFileA(msiPath.c_str());
}

// An administrator's /log: refused with a link anywhere on its path, a second name of another
// file at its name, or a pipe (Wine refuses the pipe when its "folder" is held, Windows when the
// handle is no file on a disk); nothing is written there. A plain file is appended, owned by
// Administrators with its folder's access list, Windows Installer's log beside it.
TEST(SetupLog, AnAdministratorsLogIsRefusedWhereItCouldBeRedirected)
{
    TempDir dir;
    const std::string target = dir / "elsewhere";
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr) && CreateDirectoryA((target + "\\logs").c_str(), nullptr));
    ASSERT_TRUE(MakeDirectoryLink(dir / "link", target));
    const std::string other = dir / "settings.ini";
    WriteFileBytes(other, "the person's own file");
    ASSERT_TRUE(CreateHardLinkA((dir / "hard.log").c_str(), other.c_str(), nullptr));
    const char pipeName[] = "\\\\.\\pipe\\VsSetupLogTest";
    const UniqueKernelHandle pipe(CreateNamedPipeA(pipeName, PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_NOWAIT, 1, 0,
                                                   4096, 0, nullptr));
    for (const std::string& refused : {dir / "link\\logs\\setup.log", dir / "link\\setup.log", dir / "hard.log",
                                       std::string(pipeName)}) {
        SetupLog::Open("9.8.7.6", refused.c_str());
        EXPECT_FALSE(SetupLog::IsOpen()) << refused;
        SetupLog::Close();
    }
    EXPECT_EQ(FolderEntries(target), std::set<std::string>{"logs"});
    EXPECT_TRUE(FolderEntries(target + "\\logs").empty());
    EXPECT_EQ(ReadFileBytes(other), "the person's own file");
    DWORD waiting = 0;
    EXPECT_TRUE(pipe.IsValid() && !(PeekNamedPipe(pipe.Get(), nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0));

    const std::string log = dir / "setup.log";
    WriteFileBytes(log, "an earlier run\r\n");
    const SecuredCreations made;
    SetupLog::Open("9.8.7.6", log.c_str());
    const SetupLog::MsiLog msiLog = SetupLog::NewMsiLog();
    SetupLog::Close();
    EXPECT_EQ(ReadFileBytes(log).rfind("an earlier run\r\n\r\n==== Run ", 0), 0u) << "appended";
    EXPECT_EQ(std::string(msiLog.path).rfind(dir / "VsEnclosaSetupBoot-", 0), 0u) << msiLog.path;
    EXPECT_TRUE(made.MadeWith(log, kAdministratorsOwned) && made.MadeWith(msiLog.path, kAdministratorsOwned));
}
