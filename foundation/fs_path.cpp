// Path rules shared by every path operation: separators, the last separator, the join rule.
#include "foundation/fs_path.h"

#include "foundation/code_page.h"

namespace PathRules {

bool IsSeparator(char ch) { return ch == '\\' || ch == '/'; }

int FindLastSeparator(const char* path)
{
    int lastBackslash = -1;
    int lastSlash = -1;
    for (int pos = 0; path[pos] != '\0'; pos = CodePage::NextCharPos(path, pos)) {
        if (path[pos] == '\\')
            lastBackslash = pos;
        else if (path[pos] == '/')
            lastSlash = pos;
    }
    return lastBackslash >= 0 ? lastBackslash : lastSlash;
}

bool EndsInSeparator(const char* path)
{
    int last = -1;
    for (int pos = 0; path[pos] != '\0'; pos = CodePage::NextCharPos(path, pos))
        last = pos;
    // A double-byte character starts with a lead byte, which is never a separator.
    return last >= 0 && IsSeparator(path[last]);
}

void Join(CStringA& path, const char* name)
{
    if (!path.IsEmpty() && !EndsInSeparator(path))
        path += '\\';
    path += name;
}

} // namespace PathRules
