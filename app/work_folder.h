// The folder of one run's elevated work: the payloads, Windows Installer's log, the welcome
// page. The person's temporary folder will not do: every program of theirs may write there,
// and TEMP points wherever they like. This folder is made new under the Windows folder's Temp,
// an ASCII path that no user can redirect, with an access list of its own that inherits
// nothing from above and lets only Administrators and SYSTEM write (everyone may read, so
// that support can read Windows Installer's log). While the run works in it, it is held open
// without delete sharing: nobody can rename it and put another folder or a link in its place.
#pragma once

#include "foundation/fs_path.h"
#include "foundation/scoped_override.h"
#include "foundation/unique_handle.h"

// How the folder is made: CreateDirectoryA, or a test's stand-in that sees the descriptor it is
// made with (Wine keeps none that a test could read back).
struct WorkFolderFunctions {
    BOOL(WINAPI* CreateFolder)(LPCSTR, LPSECURITY_ATTRIBUTES) = nullptr;
};
// Replaces the table and gives the previous one back.
WorkFolderFunctions SetWorkFolderFunctions(const WorkFolderFunctions& functions);
using ScopedWorkFolderFunctions = ScopedOverride<WorkFolderFunctions, SetWorkFolderFunctions>;

class WorkFolder {
public:
    WorkFolder() = default;
    // Lets go of the folder; removes it with everything in it unless Keep was called.
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    // Makes the folder new at path (its parent must exist) and holds it. Gives 0, or the
    // platform's error: something (a folder, a file, a link) was there, or it could not be
    // made with its access list.
    DWORD Create(const VsFsPath& path);
    // Where a run's folder goes: Windows' Temp folder plus VsEnclosaSetupBoot-<GUID>, new each
    // time. Empty when the Windows folder has no ASCII name.
    static VsFsPath PathForRun();

    const VsFsPath& Path() const { return m_path; }
    // The folder stays after the run: the package in it is the product's source for repairs.
    void Keep() { m_keep = true; }

private:
    VsFsPath m_path;
    UniqueKernelHandle m_hold;
    bool m_keep = false;
};
