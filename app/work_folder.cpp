#include "app/work_folder.h"

#include "foundation/folder_tree.h"
#include "foundation/guid_text.h"
#include "foundation/reparse_point.h"
#include "foundation/secured_create.h"

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
    // Fails on anything already at the name, a link included: never a folder someone else made.
    const DWORD error = CreateSecuredFolder(path, kAdministratorsOnlyFolder);
    if (error != ERROR_SUCCESS)
        return error;
    m_path = path;
    // Made by us a moment ago, but anyone who could swap it for a link before the hold gets nothing.
    m_hold = HoldFolder(path);
    return m_hold ? ERROR_SUCCESS : GetLastError();
}

VsFsPath WorkFolder::PathForRun()
{
    const VsFsPath windowsTemp = GetWindowsTempFolder();
    if (windowsTemp.IsEmpty())
        return windowsTemp;
    const CStringA guid = NewGuidString();
    return guid.IsEmpty() ? VsFsPath() : windowsTemp.Combine("VsEnclosaSetupBoot-" + guid);
}
