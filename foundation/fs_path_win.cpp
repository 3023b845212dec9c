// Windows' own Temp folder, where the elevated setup works and logs: its path comes from the
// Windows folder, which no user can redirect (unlike TEMP, which the person's programs set).
#include "foundation/fs_path.h"

#include <windows.h>

VsFsPath GetWindowsTempFolder()
{
    WCHAR windows[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        SetLastError(ERROR_BAD_PATHNAME);
        return {};
    }
    char narrow[MAX_PATH + 1] = {};
    for (UINT i = 0; i < length; ++i) {
        if (windows[i] == 0 || windows[i] >= 0x80) {
            SetLastError(ERROR_BAD_PATHNAME);
            return {};
        }
        narrow[i] = static_cast<char>(windows[i]);
    }
    return VsFsPath(narrow).Combine("Temp");
}
