// The one question the platform-free byte handling asks of the platform: does this byte
// start a double-byte character in the active ANSI code page? The Windows build answers
// from the system; the host build from a table that tests choose.
#pragma once

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
// Host only: the code page for the object's life (0 for a single-byte one, 932 for Japanese
// Shift-JIS); the previous one is back afterwards.
class ScopedHostCodePage {
public:
    explicit ScopedHostCodePage(int codePage);
    ~ScopedHostCodePage();
    ScopedHostCodePage(const ScopedHostCodePage&) = delete;
    ScopedHostCodePage& operator=(const ScopedHostCodePage&) = delete;

private:
    int m_previous;
};
#endif

} // namespace CodePage
