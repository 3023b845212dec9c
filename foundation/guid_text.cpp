#include "foundation/guid_text.h"

#include <objbase.h>

CStringA NewGuidString()
{
    GUID guid{};
    const HRESULT made = CoCreateGuid(&guid);
    if (FAILED(made)) {
        SetLastError(HRESULT_FACILITY(made) == FACILITY_WIN32 ? HRESULT_CODE(made) : static_cast<DWORD>(made));
        return CStringA();
    }
    wchar_t wide[40] = {};
    StringFromGUID2(guid, wide, 40);
    char narrow[40] = {};
    for (int i = 0; i < 39 && wide[i] != 0; ++i)
        narrow[i] = static_cast<char>(wide[i]);
    return CStringA(narrow);
}
