#include "app/work_folder.h"

#include "foundation/folder_tree.h"
#include "foundation/guid_text.h"
#include "foundation/reparse_point.h"

#include <sddl.h>

namespace {

// The access list every work folder is made with, as the platform's security descriptor
// language: protected (nothing inherited), full control for SYSTEM and Administrators, read
// and execute for Users, all inherited by what is made inside.
const char kWorkFolderAccess[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FRFX;;;BU)";

WorkFolderFunctions& Table()
{
    static WorkFolderFunctions table{CreateDirectoryA};
    return table;
}

// Windows' own Temp folder; empty when the Windows folder has no ASCII name, which no ANSI
// code page could then be trusted to carry.
VsFsPath WindowsTemp()
{
    WCHAR windows[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return {};
    char narrow[MAX_PATH + 1] = {};
    for (UINT i = 0; i < length; ++i) {
        if (windows[i] == 0 || windows[i] >= 0x80)
            return {};
        narrow[i] = static_cast<char>(windows[i]);
    }
    return VsFsPath(narrow).Combine("Temp");
}

} // namespace

WorkFolderFunctions SetWorkFolderFunctions(const WorkFolderFunctions& functions)
{
    const WorkFolderFunctions previous = Table();
    Table() = functions;
    return previous;
}

WorkFolder::~WorkFolder()
{
    m_hold.Reset();
    if (m_keep || m_path.IsEmpty())
        return;
    try {
        DeleteFolderTree(m_path);
    } catch (...) {
        // What stays is ours and under the folder's own access list.
    }
}

DWORD WorkFolder::Create(const VsFsPath& path)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kWorkFolderAccess, SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return GetLastError();
    const UniqueLocalMemory descriptorOwner(descriptor);
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
    // Fails on anything already at the name, a link included: never a folder someone else made.
    if (!Table().CreateFolder(path, &security))
        return GetLastError();
    m_path = path;
    // Made by us a moment ago, but anyone who could swap it for a link before the hold gets nothing.
    m_hold = HoldFolder(path);
    return m_hold ? ERROR_SUCCESS : GetLastError();
}

VsFsPath WorkFolder::PathForRun()
{
    const VsFsPath windowsTemp = WindowsTemp();
    return windowsTemp.IsEmpty() ? VsFsPath() : windowsTemp.Combine("VsEnclosaSetupBoot-" + NewGuidString());
}
