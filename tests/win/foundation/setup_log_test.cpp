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

namespace {

const char kAdministratorsOnly[] = "owner S-1-5-32-544; protected: S-1-5-18 write, S-1-5-32-544 write, "
                                   "S-1-5-32-545 read; label S-1-16-12288 no write up";
const char kAdministratorsOwned[] = "owner S-1-5-32-544; access list from the folder; label S-1-16-12288 no write up";

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

} // namespace

TEST(SetupLog, EveryRunLogsAnewInWindowsTempWithWindowsInstallersLogBeside)
{
    const TmpDir personsTemp;
    const SecuredCreations made;
    SetupLog::Open("9.8.7.6");
    ASSERT_TRUE(SetupLog::IsOpen());
    const std::string log = SetupLog::Path();
    SetupLog::MsiLog msiLog = SetupLog::NewMsiLog();
    SetupLog::Write("Exit code %d", 0);
    SetupLog::Close();
    SetupLog::Open("9.8.7.6");
    const std::string second = SetupLog::Path();
    SetupLog::Close();

    // VsEnclosaSetupBoot-<YYYYMMDD-HHMMSS>-<GUID>.log: a new name every run.
    const std::string prefix = std::string(GetWindowsTempFolder().GetString()) + "\\VsEnclosaSetupBoot-";
    ASSERT_EQ(log.rfind(prefix, 0), 0u) << log;
    ASSERT_EQ(log.size(), prefix.size() + 15 + 1 + 38 + 4) << log;
    EXPECT_NE(log, second);
    const std::string run = log.substr(prefix.size(), 54);
    const std::string text = ReadFileBytes(log);
    EXPECT_EQ(text.rfind("==== Run " + run + ", ", 0), 0u) << text;
    EXPECT_NE(text.find("\r\nVsEnclosaSetupBoot 9.8.7.6 ("), std::string::npos) << text;
    EXPECT_NE(text.find(" Exit code 0\r\n"), std::string::npos) << text;
    EXPECT_EQ(made.At(log), kAdministratorsOnly);
    EXPECT_TRUE(FolderEntries(personsTemp.Path()).empty()) << "nothing in the person's temporary folder";

    // Windows Installer's log: named after the run, made as the setup's log is, and held while it
    // writes: it opens the name to write, nobody may take the name away meanwhile.
    const std::string msiPath = msiLog.path;
    EXPECT_EQ(msiPath, prefix + run + "-msi.log");
    EXPECT_EQ(made.At(msiPath), kAdministratorsOnly);
    EXPECT_FALSE(Renamable(msiPath));
    EXPECT_TRUE(UniqueKernelHandle(CreateFileA(msiPath.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr))
                    .IsValid())
        << "Windows Installer's way of opening its log: error " << GetLastError();
    msiLog = SetupLog::MsiLog();
    EXPECT_TRUE(Renamable(msiPath)) << "let go with the hold";
    for (const std::string& file : {log, second, msiPath})
        DeleteFileA(file.c_str());
}

// An administrator's /log: refused with a link anywhere on its path, a second name of another
// file at its name, or a pipe (Wine refuses the pipe when its "folder" is held, Windows when the
// handle is no file on a disk); nothing is written there. A plain file is appended run after
// run, owned by Administrators with its folder's access list.
TEST(SetupLog, AnAdministratorsLogIsRefusedWhereItCouldBeRedirected)
{
    TempDir dir;
    const std::string target = dir / "elsewhere";
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr) && CreateDirectoryA((target + "\\logs").c_str(), nullptr));
    ASSERT_TRUE(MakeDirectoryLink(dir / "link", target));
    const std::string other = dir / "settings.ini";
    WriteFileBytes(other, "the person's own file\r\n");
    ASSERT_TRUE(CreateHardLinkA((dir / "hard.log").c_str(), other.c_str(), nullptr));
    const char pipeName[] = "\\\\.\\pipe\\VsSetupLogTest";
    const UniqueKernelHandle pipe(CreateNamedPipeA(pipeName, PIPE_ACCESS_INBOUND, PIPE_TYPE_BYTE | PIPE_NOWAIT, 1, 0,
                                                   4096, 0, nullptr));
    ASSERT_TRUE(pipe.IsValid());
    for (const std::string& refused : {dir / "link\\logs\\setup.log", dir / "link\\setup.log", dir / "hard.log",
                                       std::string(pipeName)}) {
        SetupLog::Open("9.8.7.6", refused.c_str());
        EXPECT_FALSE(SetupLog::IsOpen()) << refused;
        EXPECT_STREQ(SetupLog::Path(), "") << refused;
        SetupLog::Close();
    }
    EXPECT_EQ(FolderEntries(target), std::set<std::string>{"logs"});
    EXPECT_TRUE(FolderEntries(target + "\\logs").empty());
    EXPECT_EQ(ReadFileBytes(other), "the person's own file\r\n");
    DWORD waiting = 0;
    EXPECT_FALSE(PeekNamedPipe(pipe.Get(), nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0);

    const std::string log = dir / "setup.log";
    const SecuredCreations made;
    for (int run = 0; run < 2; ++run) {
        SetupLog::Open("9.8.7.6", log.c_str());
        ASSERT_TRUE(SetupLog::IsOpen());
        const SetupLog::MsiLog msiLog = SetupLog::NewMsiLog();
        EXPECT_EQ(FolderOf(msiLog.path), FolderOf(log));
        EXPECT_EQ(made.At(msiLog.path), kAdministratorsOwned);
        SetupLog::Close();
    }
    EXPECT_EQ(made.At(log), kAdministratorsOwned);
    const std::string text = ReadFileBytes(log);
    EXPECT_EQ(text.rfind("==== Run ", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n\r\n==== Run "), std::string::npos) << "the second run appends: " << text;
}
