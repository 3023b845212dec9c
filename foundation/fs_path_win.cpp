#include "foundation/fs_path.h"

#include <windows.h>

VsFsPath GetTempFolder()
{
    char buffer[1024] = {};
    const DWORD length = GetTempPathA(1023, buffer);
    if (length == 0 || length > 1023)
        buffer[0] = '\0';
    VsFsPath folder(buffer);
    folder.AddTrailingSeparator('\\');
    return folder;
}
