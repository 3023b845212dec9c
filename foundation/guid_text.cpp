#include "foundation/guid_text.h"

#include <objbase.h>

CStringA NewGuidString()
{
    // A failed CoCreateGuid leaves the all-zero GUID, which still names a usable folder.
    GUID guid{};
    CoCreateGuid(&guid);
    wchar_t wide[128] = {};
    StringFromGUID2(guid, wide, 127);
    char narrow[128] = {};
    WideCharToMultiByte(CP_THREAD_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
    return CStringA(narrow);
}
