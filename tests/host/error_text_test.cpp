#include "foundation/error.h"

#include <gtest/gtest.h>

TEST(ErrorText, CommonTextWithAndWithoutASystemText)
{
    EXPECT_EQ(Error::VsExceptionCommon::ComposeText(0x12, "There are no more files.\r\n", "Process32First failed."),
              "There are no more files. (0x12)\n\nProcess32First failed.");
    EXPECT_EQ(Error::VsExceptionCommon::ComposeText(0x12, " \r\n", "Process32First failed."),
              "(0x12) Process32First failed.");
    EXPECT_EQ(Error::VsExceptionCommon::ComposeText(0, "", "CreateToolhelp32Snapshot (of processes)"),
              "(0) CreateToolhelp32Snapshot (of processes)");
    EXPECT_EQ(Error::VsExceptionCommon::ComposeText(0xdeadbeef, "", "  "), "(0xdeadbeef)");
}

TEST(ErrorText, SourceFileIsReducedToItsName)
{
    const Error::VsExceptionText withPath("text", "C:\\src\\foundation\\error.cpp", 7);
    EXPECT_EQ(withPath.GetSourceFile(), "error.cpp");
    EXPECT_EQ(withPath.GetLine(), 7);
    EXPECT_EQ(Error::VsExceptionText("text", nullptr, 0).GetSourceFile(), "");
}

TEST(ErrorText, BlankTextReportsTheUnknownErrorWithFileAndLine)
{
    EXPECT_EQ(Error::VsExceptionText(" \n\t", nullptr, 0).GetReportText(), "Unknown error occured\nFile: , Line: 0");
    EXPECT_EQ(Error::VsExceptionText("", "/src/a.cpp", 12).GetReportText(), "Unknown error occured\nFile: a.cpp, Line: 12");
    EXPECT_EQ(Error::VsExceptionText("  Failed.\n", nullptr, 0).GetReportText(), "Failed.");
}

TEST(ErrorText, ExceptionsAreCaughtByTheRoot)
{
    try {
        throw Error::VsExceptionText("Failed to create directory 'C:\\x'", nullptr, 0);
    } catch (const Error::VsException& error) {
        EXPECT_EQ(error.GetText(), "Failed to create directory 'C:\\x'");
    }
}
