// The temporary folder of a person whose name is outside the ANSI code page, in a code page
// 1252 process: GetTempFolder gives a narrow path that names exactly that folder, or none.
// The folders are made with the wide calls; the narrow ones cannot name them.
#include "foundation/fs_path.h"
#include "foundation/unique_handle.h"
#include "foundation/wide_text.h"
#include "tests/win/support/temp_dir.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

namespace {

class WideFolder {
public:
    explicit WideFolder(std::wstring path) : m_path(std::move(path)), m_made(CreateDirectoryW(m_path.c_str(), nullptr)) {}
    ~WideFolder()
    {
        if (m_made)
            RemoveDirectoryW(m_path.c_str());
    }
    WideFolder(const WideFolder&) = delete;
    WideFolder& operator=(const WideFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    bool Made() const { return m_made; }

private:
    std::wstring m_path;
    bool m_made;
};

std::wstring Wide(const std::string& narrow) { return ToUtf16(narrow.c_str(), CP_ACP).data(); }

bool FolderId(HANDLE folder, BY_HANDLE_FILE_INFORMATION& info)
{
    return folder != INVALID_HANDLE_VALUE && GetFileInformationByHandle(folder, &info);
}

// Whether a narrow path names the same folder as a wide one: the same file on the same volume.
bool SameFolder(const VsFsPath& narrow, const std::wstring& wide)
{
    const UniqueKernelHandle a(CreateFileA(narrow, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const UniqueKernelHandle b(CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION infoA = {}, infoB = {};
    return FolderId(a.Get(), infoA) && FolderId(b.Get(), infoB) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber && infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

bool IsAscii(const char* text)
{
    for (; *text != '\0'; ++text) {
        if (static_cast<unsigned char>(*text) > 0x7F)
            return false;
    }
    return true;
}

} // namespace

TEST(TempFolder1252, ExactNameStaysLossyNameGivesItsAsciiShortForm)
{
    ASSERT_EQ(GetACP(), 1252u) << "the test needs a process in the Western European ANSI code page";
    TempDir dir;
    const WideFolder cafe(Wide(dir.Path()) + L"\\caf\u00e9");
    const WideFolder ivan(Wide(dir.Path()) + L"\\\u0418\u0432\u0430\u043d");
    ASSERT_TRUE(cafe.Made() && ivan.Made());

    TmpOverride tmp(cafe.Path());
    EXPECT_EQ(GetTempFolder(), (dir / "caf\xE9\\").c_str()) << "é is a character of 1252: the long name stays";

    tmp.PointAt(ivan.Path());
    const VsFsPath folder = GetTempFolder();
    EXPECT_TRUE(IsAscii(folder) && std::strchr(folder, '?') == nullptr) << folder.GetString();
    EXPECT_TRUE(PathRules::EndsInSeparator(folder));
    EXPECT_TRUE(SameFolder(folder, ivan.Path())) << folder.GetString() << " is not the Cyrillic folder";
}

TEST(TempFolder1252, BestFitNameNeverComesBackAsItsNeighbour)
{
    ASSERT_EQ(GetACP(), 1252u) << "the test needs a process in the Western European ANSI code page";
    TempDir dir;
    // In 1252 Ł has no byte of its own; its best fit is L, and "Lukasz" is another person's folder.
    const WideFolder lukasz(Wide(dir.Path()) + L"\\\u0141ukasz");
    ASSERT_TRUE(lukasz.Made());
    ASSERT_TRUE(CreateDirectoryA((dir / "Lukasz").c_str(), nullptr));

    const TmpOverride tmp(lukasz.Path());
    const VsFsPath folder = GetTempFolder();
    EXPECT_NE(folder, (dir / "Lukasz\\").c_str());
    EXPECT_FALSE(SameFolder(folder, Wide(dir / "Lukasz")));
    EXPECT_TRUE(SameFolder(folder, lukasz.Path())) << folder.GetString() << " is not the folder of Łukasz";
}

TEST(TempFolder1252, NameLossyInBothFormsGivesNoFolder)
{
    ASSERT_EQ(GetACP(), 1252u) << "the test needs a process in the Western European ANSI code page";
    TempDir dir;
    // Wine gives every existing non-ASCII name an ASCII short form; a folder without one (as on
    // a Windows volume that makes no short names) is here a folder that does not exist yet.
    const TmpOverride tmp(Wide(dir.Path()) + L"\\\u0418\u0432\u0430\u043d");
    const VsFsPath folder = GetTempFolder();
    EXPECT_TRUE(folder.IsEmpty()) << folder.GetString() << ": never the platform's \"????\" or a guess";
}
