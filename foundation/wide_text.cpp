#include "foundation/wide_text.h"

WideText ToUtf16(const char* text, UINT codePage)
{
    const int length = text != nullptr ? MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0) : 0;
    if (length <= 1)
        return WideText(1, L'\0');
    WideText wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, wide.data(), length);
    return wide;
}

CStringA ToAnsiExactly(const WCHAR* text)
{
    CStringA narrow;
    if (text == nullptr || *text == L'\0')
        return narrow;
    // A UTF-8 ANSI code page takes neither the best-fit flag nor the default-character answer;
    // it loses only broken surrogates, which WC_ERR_INVALID_CHARS refuses.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const lost = utf8 ? nullptr : &usedDefault;
    const int bytes = WideCharToMultiByte(CP_ACP, flags, text, -1, nullptr, 0, nullptr, lost);
    if (bytes <= 1 || usedDefault)
        return narrow;
    if (WideCharToMultiByte(CP_ACP, flags, text, -1, narrow.GetBuffer(bytes), bytes, nullptr, lost) != bytes) {
        narrow.Empty();
        return narrow;
    }
    narrow.ReleaseBuffer(bytes - 1);
    // The way back must give the same text: the only check a UTF-8 code page allows, a second
    // one for the others.
    if (usedDefault || ToUtf16(narrow, CP_ACP) != WideText(text, text + lstrlenW(text) + 1))
        narrow.Empty();
    return narrow;
}
