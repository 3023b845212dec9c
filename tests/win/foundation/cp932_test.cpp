#include "foundation/directory_tree.h"
#include "foundation/fs_path.h"
#include "foundation/string_token_list.h"
#include "tests/win/support/temp_dir.h"

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

TEST(Cp932, FoldersEndingInATrailBackslashAreJoinedAndCreatedWhole)
{
    ASSERT_EQ(GetACP(), 932u) << "the test needs a process in the Japanese ANSI code page";
    TempDir dir;
    // 表 (95 5C) and ソ (83 5C) end in the backslash byte; a temporary folder of a person so named.
    const VsFsPath table(VsFsPath(dir.Path().c_str()).Combine("\x95\x5C"));
    EXPECT_EQ(table.Combine("x"), (dir.Path() + "\\\x95\x5C\\x").c_str());
    const VsFsPath deep(table.Combine("\x83\x5C").Combine("{GUID}"));
    ASSERT_TRUE(CreateDirectoryTree(deep));
    EXPECT_TRUE(DirectoryExists(dir / "\x95\x5C\\\x83\x5C\\{GUID}"));
    EXPECT_EQ(FolderEntries(dir.Path()), std::set<std::string>{"\x95\x5C"}) << "no stray tree beside it";
    EXPECT_EQ(FolderEntries(dir / "\x95\x5C"), std::set<std::string>{"\x83\x5C"});
}
