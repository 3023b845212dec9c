// The run's work folder on the real file system. Wine keeps no access lists, so what a test can
// show of the folder's protection is the access list it is made with, not that Windows enforces it.
#include "app/work_folder.h"
#include "tests/win/support/temp_dir.h"
#include "tests/directory_link/directory_link.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <string>

namespace {

bool Renamable(const std::string& path)
{
    const std::string moved = path + ".moved";
    if (!MoveFileA(path.c_str(), moved.c_str()))
        return false;
    MoveFileA(moved.c_str(), path.c_str());
    return true;
}

} // namespace

TEST(WorkFolder, IsMadeNewHeldWhileInUseAndRemovedUnlessKept)
{
    TempDir dir;
    const std::string removed = dir / "removed";
    const std::string kept = dir / "kept";
    {
        WorkFolder work;
        ASSERT_EQ(work.Create(removed.c_str()), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(std::string(work.Path().GetString()), removed);
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

// Only SYSTEM and Administrators may write; Users may read and list; nothing comes from above.
TEST(WorkFolder, AccessListLetsOnlyAdministratorsAndSystemWrite)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(kWorkFolderAccess, SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
    EXPECT_NE(control & SE_DACL_PROTECTED, 0) << "inherits nothing from a parent a user may write";
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted));
    ASSERT_TRUE(present && acl != nullptr);

    const DWORD writing = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES | DELETE |
                          FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER;
    std::string allowed;
    for (DWORD index = 0; index < acl->AceCount; ++index) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(acl, index, reinterpret_cast<void**>(&ace)));
        ASSERT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(ace->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
                  OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) << "what is made inside gets the same";
        char* sid = nullptr;
        ASSERT_TRUE(ConvertSidToStringSidA(&ace->SidStart, &sid));
        allowed += std::string(sid) + ((ace->Mask & writing) != 0 ? ":write " : ":read ");
        LocalFree(sid);
    }
    LocalFree(descriptor);
    EXPECT_EQ(allowed, "S-1-5-18:write S-1-5-32-544:write S-1-5-32-545:read ");
}
