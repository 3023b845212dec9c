// Executable names in a Japanese (932) process: a trail byte is never taken for a letter or
// for a folder separator.
#include "outlook/processes_enum.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

PROCESSENTRY32 Entry(DWORD processId, const char* exeFile)
{
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    entry.th32ProcessID = processId;
    std::strcpy(entry.szExeFile, exeFile);
    return entry;
}

} // namespace

TEST(ProcessesEnumCp932, TrailBytesAreNeitherLettersNorSeparators)
{
    ASSERT_EQ(GetACP(), 932u) << "the test needs a process in the Japanese ANSI code page";
    CProcessesEnum processes;
    // 0x83 0x41 and 0x83 0x61 are two different katakana whose trail bytes are 'A' and 'a'.
    processes.push_back(Entry(1, "\x83\x41.exe"));
    // 0x95 0x5C ends in the byte of a backslash.
    processes.push_back(Entry(2, "C:\\Office\\\x95\x5C.exe"));

    PROCESSENTRY32 found = {};
    EXPECT_FALSE(processes.FindByName("\x83\x61.exe", &found));
    ASSERT_TRUE(processes.FindByName("\x83\x41.EXE", &found));
    EXPECT_EQ(found.th32ProcessID, 1u);
    ASSERT_TRUE(processes.FindByName("\x95\x5C.exe", &found));
    EXPECT_EQ(found.th32ProcessID, 2u);
    EXPECT_FALSE(processes.FindByName(".exe", nullptr));
}
