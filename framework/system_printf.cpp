// The C++ runtime's headers route every snprintf and vsnprintf to MinGW's own printf family
// (C99 conversions, its own floating-point code): a tenth of the image's code. The setup formats
// integers and texts only, which the C runtime every Windows has (msvcrt.dll) formats the same.
// Defined here, MinGW's is never linked. This gives the C99 answers on top of msvcrt's: the
// whole length, and a terminated text even when it is cut.
//
// CStringA::Format and the log check their formats as msvcrt's (the printf archetype of this
// target), so a conversion msvcrt does not know (%zu, %hhu, %jd) fails the build, not the text.
#include <cstdarg>
#include <cstdio>

extern "C" int __cdecl __mingw_vsnprintf(char* buffer, size_t size, const char* format, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    const int length = _vscprintf(format, measure);
    va_end(measure);
    if (length < 0 || size == 0)
        return length;
    // msvcrt's leaves the text unterminated when it fills the buffer.
    const size_t room = size - 1;
    _vsnprintf(buffer, room, format, args);
    buffer[static_cast<size_t>(length) < room ? static_cast<size_t>(length) : room] = '\0';
    return length;
}
