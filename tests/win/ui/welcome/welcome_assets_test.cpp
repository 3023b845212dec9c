#include "foundation/folder_tree.h"
#include "resources/resource_ids.h"
#include "tests/win/support/temp_dir.h"
#include "ui/welcome/welcome_page.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

const char* const kPictures[] = {"img1.jpg", "img2.jpg", "img3.jpg", "title-enc.jpg", "bg-main.jpg",
                                 "tick.jpg", "main-bullet.gif", "1.gif", "2.gif"};

// A host path as the prefix's Z: drive shows it.
std::string HostFile(const std::string& folder, const std::string& name)
{
    std::string path = "Z:" + folder + "/" + name;
    for (char& ch : path)
        if (ch == '/')
            ch = '\\';
    return path;
}

} // namespace

TEST(WelcomeAssets, PageStyleSheetAndPicturesAreTheCarriedBytesWhereThePageLooks)
{
    TempDir dir;
    const VsFsPath folder(dir.Path().c_str());
    Welcome::WritePage(folder.Combine("index.htm"), IDR_WELCOME_PAGE);
    Welcome::WriteAssets(folder);

    const std::string page = ReadFileBytes(HostFile(VS_WELCOME_SOURCE_DIR, "index.htm"));
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(ReadFileBytes(dir / "index.htm"), "\xEF\xBB\xBF" + page);
    EXPECT_EQ(ReadFileBytes(dir / "welcome_style.css"), ReadFileBytes(HostFile(VS_WELCOME_SOURCE_DIR, "welcome_style.css")));
    EXPECT_EQ(FolderEntries(dir.Path()), (std::set<std::string>{"index.htm", "welcome_style.css", "images"}));

    std::set<std::string> pictures;
    for (const char* picture : kPictures) {
        pictures.insert(picture);
        const std::string carried = ReadFileBytes(HostFile(VS_WELCOME_IMAGES_DIR, picture));
        ASSERT_FALSE(carried.empty()) << picture;
        EXPECT_EQ(ReadFileBytes(dir / ("images\\" + std::string(picture))), carried) << picture;
    }
    EXPECT_EQ(FolderEntries(dir / "images"), pictures);
}

TEST(WelcomeAssets, WithoutTheImagesFolderThePageStillGetsItsStyleSheet)
{
    TempDir dir;
    WriteFileBytes(dir / "images", "in the way");
    Welcome::WriteAssets(VsFsPath(dir.Path().c_str()));
    EXPECT_TRUE(FileExists(dir / "welcome_style.css"));
    EXPECT_EQ(ReadFileBytes(dir / "images"), "in the way");
    EXPECT_EQ(FolderEntries(dir.Path()).size(), 2u);
}

TEST(WelcomeAssets, AWholeWelcomeFolderIsRemovedWithItsPictures)
{
    TempDir work;
    const VsFsPath folder = Welcome::CreateFolder(work.Path().c_str());
    Welcome::WritePage(folder.Combine("index.htm"), IDR_WELCOME_PAGE);
    Welcome::WriteAssets(folder);
    ASSERT_TRUE(FileExists(std::string(folder.GetString()) + "\\images\\img1.jpg"));
    DeleteFolderTree(folder);
    EXPECT_FALSE(DirectoryExists(folder.GetString()));
}
