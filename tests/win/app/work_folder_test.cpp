// The run's work folder on the real file system. Wine keeps no access lists or labels, so what a
// test can show of the folder's protection is the descriptor it is made with, not that Windows
// enforces it.
#include "app/work_folder.h"
#include "tests/directory_link/directory_link.h"
#include "tests/win/support/secured_creations.h"
#include "tests/win/support/temp_dir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

TEST(WorkFolder, IsMadeNewHeldWhileInUseAndRemovedUnlessKept)
{
    TempDir dir;
    const std::string removed = dir / "removed";
    const std::string kept = dir / "kept";
    {
        const SecuredCreations made;
        WorkFolder work;
        ASSERT_EQ(work.Create(removed.c_str()), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(std::string(work.Path().GetString()), removed);
        // Administrators own it; only they and SYSTEM may write, Users read and list; nothing
        // comes from above; a high label; all of it for what is made inside too.
        EXPECT_TRUE(
            made.MadeWith(removed, "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)S:(ML;OICI;NW;;;HI)"));
        EXPECT_FALSE(Renamable(removed)) << "nobody may put another folder in its place";
        WriteFileBytes(removed + "\\payload.exe", "ours");
        ASSERT_TRUE(CreateDirectoryA((removed + "\\welcome").c_str(), nullptr));
    }
    EXPECT_FALSE(DirectoryExists(removed));
    {
        WorkFolder work;
        ASSERT_EQ(work.Create(kept.c_str()), static_cast<DWORD>(ERROR_SUCCESS));
        WriteFileBytes(kept + "\\package.msi", "the source for repairs");
        work.Keep();
    }
    EXPECT_EQ(ReadFileBytes(kept + "\\package.msi"), "the source for repairs");
    EXPECT_TRUE(Renamable(kept)) << "let go at the end";
}

// A folder or a link that was there first is never taken for ours, and never removed.
TEST(WorkFolder, NeverTakesWhatWasAtItsName)
{
    TempDir dir;
    const std::string folder = dir / "there";
    const std::string target = dir / "elsewhere";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
    WriteFileBytes(folder + "\\theirs.txt", "not the setup's");
    WriteFileBytes(target + "\\theirs.txt", "not the setup's");
    ASSERT_TRUE(MakeDirectoryLink(dir / "link", target));
    for (const std::string& taken : {folder, dir / "link"}) {
        WorkFolder work;
        EXPECT_EQ(work.Create(taken.c_str()), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << taken;
    }
    EXPECT_EQ(ReadFileBytes(folder + "\\theirs.txt"), "not the setup's");
    EXPECT_EQ(ReadFileBytes(target + "\\theirs.txt"), "not the setup's");
}

TEST(WorkFolder, ForARunIsANewFolderInWindowsTemp)
{
    char windows[MAX_PATH] = {};
    GetSystemWindowsDirectoryA(windows, MAX_PATH);
    const std::string prefix = std::string(windows) + "\\Temp\\VsEnclosaSetupBoot-{";
    std::string first;
    {
        WorkFolder one, two;
        one.Create(WorkFolder::PathForRun());
        two.Create(WorkFolder::PathForRun());
        first = one.Path().GetString();
        EXPECT_EQ(first.rfind(prefix, 0), 0u) << first;
        EXPECT_EQ(first.size(), prefix.size() + 37) << first;
        EXPECT_NE(first, std::string(two.Path().GetString()));
        EXPECT_TRUE(DirectoryExists(first));
    }
    EXPECT_FALSE(DirectoryExists(first));
}
