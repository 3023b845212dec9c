#include "foundation/code_page.h"
#include "foundation/fs_path.h"

#include <gtest/gtest.h>

TEST(FsPath, JoinAddsOneBackslashUnlessThePathEndsInASeparator)
{
    EXPECT_EQ(VsFsPath("C:\\Temp").Combine("x"), "C:\\Temp\\x");
    EXPECT_EQ(VsFsPath("C:\\Temp\\").Combine("x"), "C:\\Temp\\x");
    EXPECT_EQ(VsFsPath("C:/Temp/").Combine("x"), "C:/Temp/x");
    EXPECT_EQ(VsFsPath("").Combine("x"), "x");
    EXPECT_EQ(VsFsPath("C:\\Temp").Combine(""), "C:\\Temp\\");
    EXPECT_EQ(VsFsPath("C:\\Temp").Combine(nullptr), "C:\\Temp\\");
    EXPECT_EQ(VsFsPath("a").Combine("\\b"), "a\\\\b");
}

TEST(FsPath, CombineLeavesThePathAndAppendChangesIt)
{
    VsFsPath folder("C:\\Temp");
    const VsFsPath file = folder.Combine("x");
    EXPECT_EQ(folder, "C:\\Temp");
    folder.Append("y").Append("z");
    EXPECT_EQ(folder, "C:\\Temp\\y\\z");
    EXPECT_EQ(file, "C:\\Temp\\x");
}

TEST(FsPath, FileNameIsWhatFollowsTheLastSeparatorAndTheBackslashWins)
{
    EXPECT_EQ(VsFsPath("C:\\dir\\file.txt").GetFileName(), "file.txt");
    EXPECT_EQ(VsFsPath("C:/dir/file.txt").GetFileName(), "file.txt");
    EXPECT_EQ(VsFsPath("file.txt").GetFileName(), "file.txt");
    EXPECT_EQ(VsFsPath("C:\\dir\\").GetFileName(), "");
    EXPECT_EQ(VsFsPath("a\\b/c").GetFileName(), "b/c");
    EXPECT_EQ(VsFsPath("").GetFileName(), "");
}

TEST(FsPath, FolderKeepsItsSeparatorAndNeedsOneBeyondTheFirstByte)
{
    EXPECT_EQ(VsFsPath("C:\\dir\\file.txt").GetFolder(), "C:\\dir\\");
    EXPECT_EQ(VsFsPath("C:\\dir\\sub\\").GetFolder(), "C:\\dir\\sub\\");
    EXPECT_EQ(VsFsPath("file.txt").GetFolder(), "file.txt");
    EXPECT_EQ(VsFsPath("\\file").GetFolder(), "\\file");
    EXPECT_EQ(VsFsPath("\\\\server").GetFolder(), "\\\\");
    EXPECT_EQ(VsFsPath("").GetFolder(), "");
}

TEST(FsPath, TrailingSeparatorIsAddedOnlyWhereMissing)
{
    VsFsPath empty;
    EXPECT_EQ(empty.AddTrailingSeparator('\\'), "");
    VsFsPath temp("C:\\Temp");
    EXPECT_EQ(temp.AddTrailingSeparator('\\'), "C:\\Temp\\");
    VsFsPath slashed("C:/Temp/");
    EXPECT_EQ(slashed.AddTrailingSeparator('\\'), "C:/Temp/");
}

TEST(FsPath, TrailByteThatLooksLikeABackslashIsNoSeparator)
{
    // In code page 932 the character 0x95 0x5C ("table") ends in the backslash byte.
    const VsFsPath path("C:\\dir\\\x95\x5C.txt");
    {
        const CodePage::ScopedHostCodePage japanese(932);
        EXPECT_EQ(path.GetFileName(), "\x95\x5C.txt");
        EXPECT_EQ(path.GetFolder(), "C:\\dir\\");
        EXPECT_EQ(VsFsPath("\x95\x5C").GetFileName(), "\x95\x5C");

        // Nor at the end: the join rule and the trailing separator add the backslash it needs.
        EXPECT_EQ(VsFsPath("C:\\\x95\x5C").Combine("x"), "C:\\\x95\x5C\\x");
        EXPECT_EQ(VsFsPath("C:\\\x83\x5C\\").Combine("x"), "C:\\\x83\x5C\\x");
        VsFsPath folder("C:\\\x94\x5C");
        EXPECT_EQ(folder.AddTrailingSeparator('\\'), "C:\\\x94\x5C\\");
        EXPECT_EQ(VsFsPath("C:/\x95\x5C/").Combine("x"), "C:/\x95\x5C/x");
        // A lone lead byte at the end (a cut text) is a character of its own, no separator.
        EXPECT_EQ(VsFsPath("C:\\\x95").Combine("x"), "C:\\\x95\\x");
    }

    EXPECT_EQ(path.GetFileName(), ".txt");
    EXPECT_EQ(VsFsPath("C:\\\x95\x5C").Combine("x"), "C:\\\x95\x5Cx") << "a single-byte code page";
}

TEST(FsPath, CopiesShareTheStringStorage)
{
    const CStringA text("C:\\Temp");
    const VsFsPath path(text);
    const VsFsPath copy(path);
    EXPECT_TRUE(path.SharesStorageWith(text));
    EXPECT_TRUE(copy.SharesStorageWith(text));
}
