// Creates a file, takes blocks of bytes, closes it on destruction. Never throws: a file that
// cannot be created leaves an invalid handle, every Write fails, and the platform's error says why.
#pragma once

#include "foundation/unique_handle.h"

class VsFileWrite {
public:
    // CREATE_ALWAYS truncates an existing file; CREATE_NEW, for the setup's own fresh folder,
    // fails on any file or link already at the name instead of writing through it.
    VsFileWrite(const char* fileName, DWORD shareMode, DWORD disposition = CREATE_ALWAYS);
    virtual ~VsFileWrite() = default;
    VsFileWrite(const VsFileWrite&) = delete;
    VsFileWrite& operator=(const VsFileWrite&) = delete;

    bool IsOpen() const { return m_file.IsValid(); }
    // True when every byte was written; otherwise GetLastError tells why (a full disk, say).
    bool Write(const void* bytes, DWORD count);

private:
    UniqueKernelHandle m_file;
};
