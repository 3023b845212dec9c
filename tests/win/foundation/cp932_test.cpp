#include "fs_path.h"
#include "string_token_list.h"

#include <gtest/gtest.h>
#include <windows.h>

TEST(Cp932, TrailByteBackslashIsNoSeparatorThroughThePlatform)
{
    ASSERT_EQ(GetACP(), 932u) << "the test needs a process in the Japanese ANSI code page";
    const VsFsPath path("C:\\dir\\\x95\x5C.txt");
    EXPECT_EQ(path.GetFileName(), "\x95\x5C.txt");
    EXPECT_EQ(path.GetFolder(), "C:\\dir\\");
    const StringTokenList list(path, "\\/", false);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[2], "\x95\x5C.txt");
}
