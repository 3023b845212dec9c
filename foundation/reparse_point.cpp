#include "foundation/reparse_point.h"

bool IsLink(const char* path, HANDLE opened)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return true;
    BY_HANDLE_FILE_INFORMATION info = {};
    return !GetFileInformationByHandle(opened, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}
