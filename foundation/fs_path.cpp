// Path rules shared by every path operation: separators, the last separator, the join rule.
#include "fs_path.h"

#include "code_page.h"

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

void Join(CStringA& path, const char* name)
{
    // The end test looks at the last byte alone.
    if (!path.IsEmpty() && !IsSeparator(path.GetAt(path.GetLength() - 1)))
        path += '\\';
    path += name;
}

} // namespace PathRules
