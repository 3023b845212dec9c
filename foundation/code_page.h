// The one question the platform-free byte handling asks of the platform: does this byte
// start a double-byte character in the active ANSI code page? The Windows build answers
// from the system; the host build from a table that tests choose.
#pragma once

#include "foundation/scoped_override.h"

namespace CodePage {

bool IsLeadByte(unsigned char byte);

// Position of the character after the one that starts at text[pos] (skips a trail byte).
inline int NextCharPos(const char* text, int pos)
{
    if (IsLeadByte(static_cast<unsigned char>(text[pos])) && text[pos + 1] != '\0')
        return pos + 2;
    return pos + 1;
}

#ifndef _WIN32
// Host only: 0 for a single-byte code page, 932 for Japanese Shift-JIS; gives the previous one.
int SetHostCodePage(int codePage);
using ScopedHostCodePage = ScopedOverride<int, SetHostCodePage>;
#endif

} // namespace CodePage
