#include "foundation/file_write.h"

VsFileWrite::VsFileWrite(const char* fileName, DWORD shareMode, DWORD disposition)
    : m_file(CreateFileA(fileName, GENERIC_WRITE, shareMode, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr))
{
}

bool VsFileWrite::Write(const void* bytes, DWORD count)
{
    DWORD written = 0;
    if (!WriteFile(m_file.Get(), bytes, count, &written, nullptr))
        return false;
    if (written == count)
        return true;
    // A short write without an error of its own: the volume took no more.
    SetLastError(ERROR_DISK_FULL);
    return false;
}
