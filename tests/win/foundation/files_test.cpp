#include "foundation/error.h"
#include "foundation/file_find.h"
#include "foundation/file_write.h"
#include "tests/win/support/temp_dir.h"

#include <gtest/gtest.h>

#include <set>

TEST(FileWrite, CreatesTruncatesAndWritesBlocks)
{
    TempDir dir;
    const std::string path = dir / "out.bin";
    WriteFileBytes(path, "a much longer earlier content");
    {
        VsFileWrite writer(path.c_str(), FILE_SHARE_READ);
        ASSERT_TRUE(writer.IsOpen());
        EXPECT_TRUE(writer.Write("abc", 3));
        EXPECT_TRUE(writer.Write("", 0));
        EXPECT_TRUE(writer.Write("de", 2));
        // Others may read the file while it is open, but not write it.
        HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(reader, INVALID_HANDLE_VALUE);
        CloseHandle(reader);
        HANDLE other = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    }
    EXPECT_EQ(ReadFileBytes(path), "abcde");
    {
        VsFileWrite empty(path.c_str(), FILE_SHARE_READ);
    }
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ReadFileBytes(path), "");
}

// A real full device (Linux's /dev/full, seen through Wine's drive Z:): the write fails and
// says why, in the system's words, instead of passing for a short file.
TEST(FileWrite, AFullDiskFailsTheWriteWithTheSystemsReason)
{
    VsFileWrite full("Z:\\dev\\full", 0, OPEN_EXISTING);
    ASSERT_TRUE(full.IsOpen());
    EXPECT_FALSE(full.Write("abc", 3));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_FALSE(Error::SystemErrorText(ERROR_DISK_FULL).IsEmpty());
}

TEST(FileWrite, NewRefusesWhateverIsAtTheName)
{
    TempDir dir;
    WriteFileBytes(dir / "taken.bin", "someone else's");
    VsFileWrite writer((dir / "taken.bin").c_str(), FILE_SHARE_READ, CREATE_NEW);
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(ReadFileBytes(dir / "taken.bin"), "someone else's");
}

TEST(FileWrite, FolderThatDoesNotExistGivesAnInvalidWriter)
{
    TempDir dir;
    const std::string path = dir / "missing\\out.bin";
    VsFileWrite writer(path.c_str(), FILE_SHARE_READ);
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_FALSE(writer.Write("abc", 3));
    EXPECT_FALSE(FileExists(path));
}

TEST(FileFind, ListsEntriesWithFullPathsAndDots)
{
    TempDir dir;
    WriteFileBytes(dir / "a.txt", "a");
    CreateDirectoryA((dir / ".x").c_str(), nullptr);
    WriteFileBytes(dir / "..y", "y");

    VsFileFind finder(VsFsPath(dir.Path().c_str()).Combine("*.*"));
    EXPECT_EQ(finder.GetFilePath(), (dir.Path() + "\\").c_str()) << "before the first step: the folder";
    std::set<std::string> dots, files, folders;
    while (finder.FindNext()) {
        const std::string path = finder.GetFilePath().GetString();
        if (finder.IsDots())
            dots.insert(path);
        else if (finder.IsDirectory())
            folders.insert(path);
        else
            files.insert(path);
    }
    EXPECT_EQ(dots, (std::set<std::string>{dir / ".", dir / ".."}));
    EXPECT_EQ(folders, (std::set<std::string>{dir / ".x"}));
    EXPECT_EQ(files, (std::set<std::string>{dir / "a.txt", dir / "..y"}));
    EXPECT_FALSE(finder.FindNext()) << "stays false after the end";
}

TEST(FileFind, EmptyFolderYieldsTheTwoDotsThenFalse)
{
    TempDir dir;
    VsFileFind finder(VsFsPath(dir.Path().c_str()).Combine("*.*"));
    ASSERT_TRUE(finder.FindNext());
    EXPECT_TRUE(finder.IsDots());
    ASSERT_TRUE(finder.FindNext());
    EXPECT_TRUE(finder.IsDots());
    EXPECT_FALSE(finder.FindNext());
}

TEST(FileFind, MissingFolderFailsAtTheFirstStepAndAfter)
{
    TempDir dir;
    VsFileFind finder(VsFsPath(dir.Path().c_str()).Combine("missing\\*.*"));
    EXPECT_FALSE(finder.FindNext());
    EXPECT_FALSE(finder.FindNext());
}
