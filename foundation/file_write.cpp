#include "foundation/file_write.h"

VsFileWrite::VsFileWrite(const char* fileName, DWORD shareMode)
    : m_file(CreateFileA(fileName, GENERIC_WRITE, shareMode, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

bool VsFileWrite::Write(const void* bytes, DWORD count)
{
    DWORD written = 0;
    return WriteFile(m_file.Get(), bytes, count, &written, nullptr) != FALSE;
}
