#include "foundation/directory_tree.h"
#include "foundation/error.h"
#include "tests/win/support/temp_dir.h"
#include "tests/win/ui_welcome/test_page_ids.h"
#include "ui/folder_tree.h"
#include "ui/welcome_page.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

bool IsRegistryFormGuid(const std::string& text)
{
    if (text.size() != 38 || text.front() != '{' || text.back() != '}')
        return false;
    for (size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        const char ch = text[i];
        if (dash ? ch != '-' : !(std::isdigit(static_cast<unsigned char>(ch)) || (ch >= 'A' && ch <= 'F')))
            return false;
    }
    return true;
}

const std::string kMark = "\xEF\xBB\xBF";

} // namespace

TEST(WelcomeFolder, IsTheTemporaryFolderPlusANewRegistryFormGuid)
{
    const std::string first = NewGuidString().GetString();
    const std::string second = NewGuidString().GetString();
    EXPECT_TRUE(IsRegistryFormGuid(first)) << first;
    EXPECT_TRUE(IsRegistryFormGuid(second)) << second;
    EXPECT_NE(first, second);

    TempDir dir;
    TmpOverride temporary(dir.Path() + "\\");
    const VsFsPath one = Welcome::CreateFolder();
    const VsFsPath two = Welcome::CreateFolder();
    EXPECT_NE(std::string(one.GetString()), std::string(two.GetString()));
    for (const VsFsPath& folder : {one, two}) {
        const std::string path = folder.GetString();
        ASSERT_EQ(path.size(), dir.Path().size() + 1 + 38) << path;
        EXPECT_EQ(path.substr(0, dir.Path().size() + 1), dir.Path() + "\\");
        EXPECT_TRUE(IsRegistryFormGuid(path.substr(dir.Path().size() + 1))) << path;
        EXPECT_TRUE(DirectoryExists(path));
    }
}

TEST(WelcomeFolder, FileInTheWayGivesTheTextWithTheFullPath)
{
    TempDir dir;
    WriteFileBytes(dir / "blocker", "x");
    TmpOverride temporary(dir / "blocker");
    try {
        Welcome::CreateFolder();
        FAIL() << "no exception";
    } catch (const Error::VsExceptionText& error) {
        const std::string text = error.GetText().GetString();
        const std::string prefix = "Failed to create directory '" + dir / "blocker\\";
        ASSERT_EQ(text.substr(0, prefix.size()), prefix) << text;
        ASSERT_EQ(text.size(), prefix.size() + 38 + 1) << text;
        EXPECT_TRUE(IsRegistryFormGuid(text.substr(prefix.size(), 38))) << text;
        EXPECT_EQ(text.back(), '\'');
        EXPECT_TRUE(error.GetSourceFile().IsEmpty());
        EXPECT_EQ(error.GetLine(), 0);
    }
}

TEST(WelcomeFolder, WithoutATemporaryFolderNothingIsMadeInTheCurrentFolder)
{
    TempDir current;
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(current.Path().c_str()));
    {
        // Too long for the platform to give as the temporary folder.
        TmpOverride temporary(current / std::string(300, 'L'));
        EXPECT_THROW(Welcome::CreateFolder(), Error::VsException);
    }
    SetCurrentDirectoryA(saved);
    EXPECT_TRUE(FolderEntries(current.Path()).empty());
}

TEST(WelcomePage, StartsWithExactlyOneUtf8Mark)
{
    TempDir dir;
    const std::string page = dir / "index.htm";

    Welcome::WritePage(page.c_str(), TEST_PAGE_UTF8_MARK);
    EXPECT_EQ(ReadFileBytes(page), kMark + "<p>marked \xC3\xA9</p>");

    Welcome::WritePage(page.c_str(), TEST_PAGE_NO_MARK);
    EXPECT_EQ(ReadFileBytes(page), kMark + "<p>plain</p>");

    // A UTF-16 page is carried over as UTF-8, so that the mark tells the truth.
    Welcome::WritePage(page.c_str(), TEST_PAGE_UTF16_MARK);
    EXPECT_EQ(ReadFileBytes(page), kMark + "<p>wide \xC3\xA9</p>");

    Welcome::WritePage(page.c_str(), TEST_PAGE_MISSING);
    EXPECT_EQ(ReadFileBytes(page), kMark);
}

TEST(DeleteFolderTree, RemovesNestedFoldersAndFiles)
{
    TempDir dir;
    const std::string root = dir / "tree";
    ASSERT_TRUE(CreateDirectoryTree(VsFsPath((root + "\\a\\b\\c").c_str())));
    CreateDirectoryA((root + "\\empty").c_str(), nullptr);
    WriteFileBytes(root + "\\index.htm", "page");
    WriteFileBytes(root + "\\a\\one.jpg", "1");
    WriteFileBytes(root + "\\a\\b\\c\\a file with a long name.txt", "2");

    DeleteFolderTree(VsFsPath(root.c_str()));
    EXPECT_FALSE(DirectoryExists(root));
    EXPECT_TRUE(DirectoryExists(dir.Path()));

    // A folder that is gone already: nothing happens.
    DeleteFolderTree(VsFsPath(root.c_str()));
    EXPECT_FALSE(DirectoryExists(root));
}

TEST(DeleteFolderTree, FileHeldOpenStaysWithItsFoldersAndTheRestGoes)
{
    TempDir dir;
    const std::string root = dir / "tree";
    ASSERT_TRUE(CreateDirectoryTree(VsFsPath((root + "\\images").c_str())));
    ASSERT_TRUE(CreateDirectoryTree(VsFsPath((root + "\\other").c_str())));
    WriteFileBytes(root + "\\index.htm", "page");
    WriteFileBytes(root + "\\images\\held.jpg", "held");
    WriteFileBytes(root + "\\images\\free.jpg", "free");
    WriteFileBytes(root + "\\other\\free.gif", "free");

    // Opened without FILE_SHARE_DELETE, as a browser reading a picture would.
    HANDLE held = CreateFileA((root + "\\images\\held.jpg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    DeleteFolderTree(VsFsPath(root.c_str()));
    CloseHandle(held);

    EXPECT_TRUE(FileExists(root + "\\images\\held.jpg"));
    EXPECT_FALSE(FileExists(root + "\\images\\free.jpg"));
    EXPECT_FALSE(FileExists(root + "\\index.htm"));
    EXPECT_FALSE(DirectoryExists(root + "\\other"));
}
