#include "foundation/directory_tree.h"

#include "foundation/string_token_list.h"
#include "foundation/unique_handle.h"

bool FolderExists(const VsFsPath& path)
{
    VsFsPath pattern(path);
    pattern.Append("*.*");
    WIN32_FIND_DATAA record{};
    UniqueFindHandle search(FindFirstFileA(pattern, &record));
    return search.IsValid();
}

bool CreateDirectoryTree(const VsFsPath& path)
{
    const StringTokenList components(path, "\\/", false);
    if (components.size() < 2)
        return FolderExists(path);

    const bool networkPath = path.GetLength() >= 2 && path.GetAt(0) == '\\' && path.GetAt(1) == '\\';
    VsFsPath working(networkPath ? "\\\\" : "");
    // The first level, a drive or a server, is neither tested nor created.
    working.Append(components[0]);
    for (std::size_t level = 1; level < components.size(); ++level) {
        working.Append(components[level]);
        if (!FolderExists(working) && !CreateDirectoryA(working, nullptr))
            return false;
    }
    return true;
}
