#include "foundation/reparse_point.h"

#include "foundation/string_token_list.h"

bool IsLink(const char* path, HANDLE opened)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return true;
    BY_HANDLE_FILE_INFORMATION info = {};
    return !GetFileInformationByHandle(opened, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

UniqueKernelHandle HoldFolder(const char* path)
{
    UniqueKernelHandle hold(CreateFileA(path, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (hold && IsLink(path, hold.Get())) {
        hold.Reset();
        SetLastError(ERROR_REPARSE_ATTRIBUTE_CONFLICT);
    }
    return hold;
}

VsFsPath FirstLinkOnTheWay(const VsFsPath& path)
{
    const StringTokenList components(path, "\\/", false);
    const bool networkPath = path.GetLength() >= 2 && path.GetAt(0) == '\\' && path.GetAt(1) == '\\';
    VsFsPath working(networkPath ? "\\\\" : "");
    for (std::size_t level = 0; level < components.size(); ++level) {
        working.Append(components[level]);
        const DWORD attributes = GetFileAttributesA(working);
        if (level > 0 && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
            return working;
    }
    return VsFsPath();
}
