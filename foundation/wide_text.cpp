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
