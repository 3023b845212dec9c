// The run's work folder on the real file system.
#include "app/work_folder.h"
#include "tests/win/support/temp_dir.h"
#include "tests/directory_link/directory_link.h"

#include <windows.h>
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

// A descriptor's access list: "protected" when it inherits nothing, then each entry's account
// and whether it may write; an entry that denies, or is not handed down to what is made inside,
// says so.
std::string AccessOf(PSECURITY_DESCRIPTOR descriptor)
{
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    if (!GetSecurityDescriptorControl(descriptor, &control, &revision) ||
        !GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted) || !present || acl == nullptr)
        return "no access list";
    std::string text = (control & SE_DACL_PROTECTED) != 0 ? "protected " : "inherits ";
    const DWORD writing = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES | DELETE |
                          FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER;
    const BYTE handedDown = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
    for (DWORD index = 0; index < acl->AceCount; ++index) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        char* sid = nullptr;
        if (!GetAce(acl, index, reinterpret_cast<void**>(&ace)) || !ConvertSidToStringSidA(&ace->SidStart, &sid))
            return text + "unreadable entry";
        text += sid;
        LocalFree(sid);
        if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE)
            text += ":not-allowing";
        if ((ace->Header.AceFlags & handedDown) != handedDown)
            text += ":not-handed-down";
        text += (ace->Mask & writing) != 0 ? ":write " : ":read ";
    }
    return text;
}

// Wine keeps no descriptor a folder is made with (it reads back one made from the Unix mode),
// so the test sees the one the folder is created with at the call that makes it.
std::string g_madeWith;
BOOL WINAPI RecordingCreateFolder(LPCSTR path, LPSECURITY_ATTRIBUTES security)
{
    g_madeWith = security != nullptr ? AccessOf(security->lpSecurityDescriptor) : "no descriptor";
    return CreateDirectoryA(path, security);
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
// Wine enforces no access list: that a user is really kept out shows only on Windows.
TEST(WorkFolder, IsMadeWithAnAccessListThatLetsOnlyAdministratorsAndSystemWrite)
{
    const ScopedWorkFolderFunctions recorded({RecordingCreateFolder});
    TempDir dir;
    WorkFolder work;
    ASSERT_EQ(work.Create((dir / "work").c_str()), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_TRUE(DirectoryExists(dir / "work"));
    EXPECT_EQ(g_madeWith, "protected S-1-5-18:write S-1-5-32-544:write S-1-5-32-545:read ");
}
