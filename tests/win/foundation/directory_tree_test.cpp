#include "foundation/directory_tree.h"
#include "tests/win/support/temp_dir.h"

#include <gtest/gtest.h>

TEST(FolderExists, ListableFoldersOnly)
{
    TempDir dir;
    WriteFileBytes(dir / "file", "x");
    EXPECT_TRUE(FolderExists(VsFsPath(dir.Path().c_str())));
    EXPECT_TRUE(FolderExists(VsFsPath((dir.Path() + "\\").c_str())));
    EXPECT_FALSE(FolderExists(VsFsPath((dir / "file").c_str())));
    EXPECT_FALSE(FolderExists(VsFsPath((dir / "missing").c_str())));
}

TEST(CreateDirectoryTree, CreatesEveryMissingLevel)
{
    TempDir dir;
    const VsFsPath deep(VsFsPath(dir.Path().c_str()).Combine("A\\B\\C"));
    EXPECT_TRUE(CreateDirectoryTree(deep));
    EXPECT_TRUE(DirectoryExists(dir / "A\\B\\C"));
    EXPECT_TRUE(CreateDirectoryTree(deep)) << "a path that exists already";
}

TEST(CreateDirectoryTree, MixedAndDoubledSeparatorsGiveBackslashFolders)
{
    TempDir dir;
    const std::string mixed = dir.Path() + "\\M/N\\\\O\\";
    EXPECT_TRUE(CreateDirectoryTree(VsFsPath(mixed.c_str())));
    EXPECT_TRUE(DirectoryExists(dir / "M\\N\\O"));
}

TEST(CreateDirectoryTree, FileInTheWayFailsAndStopsThere)
{
    TempDir dir;
    WriteFileBytes(dir / "F", "x");
    EXPECT_FALSE(CreateDirectoryTree(VsFsPath((dir / "F\\G").c_str())));
    EXPECT_FALSE(DirectoryExists(dir / "F\\G"));
}

TEST(CreateDirectoryTree, SingleComponentIsOnlyTested)
{
    EXPECT_TRUE(CreateDirectoryTree(VsFsPath("C:\\")));
    EXPECT_FALSE(CreateDirectoryTree(VsFsPath("no_such_folder_here")));
    EXPECT_FALSE(DirectoryExists("no_such_folder_here"));
}

// Whether the server level is skipped cannot be seen here: Wine reaches no server.
TEST(CreateDirectoryTree, ANetworkPathWithoutItsServerFails)
{
    EXPECT_FALSE(CreateDirectoryTree(VsFsPath("\\\\vs-no-server\\share\\new")));
}
