// The string operations that need the platform: string-table loading and conversion.
#include "foundation/narrow_string.h"

#include "foundation/resource_module.h"

#include <windows.h>

bool CStringA::LoadById(unsigned int id)
{
    Empty();
    const wchar_t* text = nullptr;
    // With a zero buffer length the platform hands out the entry in place (not terminated).
    const int length = LoadStringW(GetResourceModule(), id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || text == nullptr)
        return false;
    const int bytes = WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return false;
    WideCharToMultiByte(CP_THREAD_ACP, 0, text, length, GetBuffer(bytes), bytes, nullptr, nullptr);
    ReleaseBuffer(bytes);
    return true;
}

void CStringA::FormatById(unsigned int formatId, ...)
{
    CStringA format;
    format.LoadById(formatId);
    va_list args;
    va_start(args, formatId);
    FormatV(format, args);
    va_end(args);
}
