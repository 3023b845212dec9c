// The setup runs elevated and appends its log in the person's temporary folder, where another
// program of that person may have put a link at the log's name: the log is then skipped.
#include "foundation/setup_log.h"
#include "tests/win/support/temp_dir.h"

#include <gtest/gtest.h>
#include <windows.h>

TEST(SetupLog, HardLinkAtItsNameIsNotWrittenThrough)
{
    const TempDir elsewhere;  // made before TMP points at the log's folder
    const std::string other = elsewhere / "settings.ini";
    const std::string content = "the person's own file\r\n";
    WriteFileBytes(other, content);
    const TmpDir tmp;
    const std::string log = tmp / "VsEnclosaSetupBoot.log";
    ASSERT_TRUE(CreateHardLinkA(log.c_str(), other.c_str(), nullptr));

    SetupLog::Open("9.8.7.6");
    SetupLog::Write("Exit code %d", 0);
    SetupLog::Close();
    EXPECT_EQ(ReadFileBytes(other), content) << "the log was written through the link";

    // The same folder without the link gets its log: the refusal was the link's.
    ASSERT_TRUE(DeleteFileA(log.c_str()));
    SetupLog::Open("9.8.7.6");
    SetupLog::Write("Exit code %d", 0);
    SetupLog::Close();
    const std::string written = ReadFileBytes(log);
    EXPECT_EQ(written.rfind("==== Run ", 0), 0u) << written;
    EXPECT_NE(written.find("\r\nVsEnclosaSetupBoot 9.8.7.6 ("), std::string::npos) << written;
    EXPECT_NE(written.find(" Exit code 0\r\n"), std::string::npos) << written;
    EXPECT_EQ(ReadFileBytes(other), content);
}
