#include "foundation/directory_tree.h"
#include "foundation/error.h"
#include "foundation/folder_tree.h"
#include "tests/win/support/temp_dir.h"
#include "tests/directory_link/directory_link.h"
#include "tests/win/ui/welcome/test_page_ids.h"
#include "ui/welcome/welcome_page.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
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

TEST(WelcomeFolder, IsTheWorkFolderPlusANewRegistryFormGuid)
{
    const std::string first = NewGuidString().GetString();
    const std::string second = NewGuidString().GetString();
    EXPECT_TRUE(IsRegistryFormGuid(first)) << first;
    EXPECT_TRUE(IsRegistryFormGuid(second)) << second;
    EXPECT_NE(first, second);

    TempDir dir;
    const VsFsPath one = Welcome::CreateFolder(dir.Path().c_str());
    const VsFsPath two = Welcome::CreateFolder(dir.Path().c_str());
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
    try {
        Welcome::CreateFolder((dir / "blocker").c_str());
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

TEST(WelcomeFolder, WithoutAWorkFolderNothingIsMadeInTheCurrentFolder)
{
    TempDir current;
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(current.Path().c_str()));
    EXPECT_THROW(Welcome::CreateFolder(VsFsPath()), Error::VsException);
    SetCurrentDirectoryA(saved);
    EXPECT_TRUE(FolderEntries(current.Path()).empty());
}

TEST(WelcomePage, StartsWithExactlyOneUtf8Mark)
{
    TempDir dir;

    Welcome::WritePage((dir / "marked.htm").c_str(), TEST_PAGE_UTF8_MARK);
    EXPECT_EQ(ReadFileBytes(dir / "marked.htm"), kMark + "<p>marked \xC3\xA9</p>");

    Welcome::WritePage((dir / "plain.htm").c_str(), TEST_PAGE_NO_MARK);
    EXPECT_EQ(ReadFileBytes(dir / "plain.htm"), kMark + "<p>plain</p>");

    // A UTF-16 page is carried over as UTF-8, so that the mark tells the truth.
    Welcome::WritePage((dir / "wide.htm").c_str(), TEST_PAGE_UTF16_MARK);
    EXPECT_EQ(ReadFileBytes(dir / "wide.htm"), kMark + "<p>wide \xC3\xA9</p>");

    Welcome::WritePage((dir / "missing.htm").c_str(), TEST_PAGE_MISSING);
    EXPECT_EQ(ReadFileBytes(dir / "missing.htm"), kMark);

    // The page is made new in its fresh folder: a file already at its name is not written through.
    Welcome::WritePage((dir / "plain.htm").c_str(), TEST_PAGE_UTF8_MARK);
    EXPECT_EQ(ReadFileBytes(dir / "plain.htm"), kMark + "<p>plain</p>");
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

// Another program put a link to a folder of its choice into the tree while the dialog was open:
// the deletion removes the link, never what it points at.
TEST(DeleteFolderTree, NeverEntersALinkInsideTheTree)
{
    TempDir dir;
    const std::string root = dir / "tree";
    const std::string elsewhere = dir / "elsewhere";
    ASSERT_TRUE(CreateDirectoryTree(VsFsPath((root + "\\images").c_str())));
    ASSERT_TRUE(CreateDirectoryTree(VsFsPath(elsewhere.c_str())));
    WriteFileBytes(root + "\\index.htm", "page");
    WriteFileBytes(elsewhere + "\\precious.txt", "not the setup's");
    ASSERT_TRUE(MakeDirectoryLink(root + "\\images\\link", elsewhere));

    DeleteFolderTree(VsFsPath(root.c_str()));
    EXPECT_EQ(ReadFileBytes(elsewhere + "\\precious.txt"), "not the setup's");
    EXPECT_FALSE(FileExists(root + "\\index.htm"));
    // Windows removes the link itself and then the tree; Wine cannot remove a directory link,
    // so there the link and the folders above it stay.
    EXPECT_TRUE(!DirectoryExists(root) || FolderEntries(root + "\\images") == std::set<std::string>{"link"});
}

