#include "foundation/folder_tree.h"

#include "foundation/file_find.h"
#include "foundation/reparse_point.h"

#include <shlwapi.h>

void DeleteFolderTree(VsFsPath folder)
{
    if (!PathFileExistsA(folder))
        return;
    {
        // Held without delete sharing while it is emptied, so that nobody can rename it and put a
        // link in its place between the test and the listing.
        const UniqueKernelHandle hold = HoldFolder(folder);
        if (!hold) {
            RemoveDirectoryA(folder);
            return;
        }
        // The search is closed before the folder itself is removed.
        VsFileFind finder(folder.Combine("*.*"));
        while (finder.FindNext()) {
            if (finder.IsDots())
                continue;
            const VsFsPath path = finder.GetFilePath();
            if (finder.IsReparsePoint()) {
                if (finder.IsDirectory())
                    RemoveDirectoryA(path);
                else
                    DeleteFileA(path);
            } else if (finder.IsDirectory()) {
                DeleteFolderTree(path);
            } else if (!DeleteFileA(path) && GetLastError() == ERROR_FILE_NOT_FOUND) {
                // A long name the platform cannot resolve may still be reachable by its 8.3 name.
                DeleteFileA(finder.GetShortFilePath());
            }
        }
    }
    RemoveDirectoryA(folder);
}
