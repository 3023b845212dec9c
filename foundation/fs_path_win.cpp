// The user's temporary folder as the narrow calls can use it. The platform's narrow answer
// (GetTempPathA) is lossy for a name outside the ANSI code page: a Cyrillic folder comes back as
// "C:\Users\????\", a best-fit one as a neighbour's name ("Łukasz" as "Lukasz"), which may be
// another account's folder. So the folder is read in UTF-16 and taken only when exact: as it is,
// else in its short (8.3) form, else not at all.
#include "foundation/fs_path.h"

#include "foundation/wide_text.h"

#include <windows.h>

namespace {

constexpr DWORD kPathLimit = 1024;

} // namespace

VsFsPath GetTempFolder()
{
    WCHAR folder[kPathLimit] = {};
    const DWORD length = GetTempPathW(kPathLimit, folder);
    if (length == 0 || length >= kPathLimit)
        return VsFsPath();
    CStringA exact = ToAnsiExactly(folder);
    if (exact.IsEmpty()) {
        // Only an existing folder has a short form, and only on a volume that makes short
        // names; it too is taken only when exact.
        WCHAR shortForm[kPathLimit] = {};
        const DWORD shortLength = GetShortPathNameW(folder, shortForm, kPathLimit);
        if (shortLength > 0 && shortLength < kPathLimit)
            exact = ToAnsiExactly(shortForm);
    }
    VsFsPath result(exact);
    result.AddTrailingSeparator('\\');
    return result;
}
