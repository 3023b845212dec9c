// Creates a file (truncating an existing one), takes blocks of bytes, closes it on destruction.
// Never throws: a file that cannot be created leaves an invalid handle and every Write fails.
#pragma once

#include "foundation/unique_handle.h"

class VsFileWrite {
public:
    VsFileWrite(const char* fileName, DWORD shareMode);
    virtual ~VsFileWrite() = default;
    VsFileWrite(const VsFileWrite&) = delete;
    VsFileWrite& operator=(const VsFileWrite&) = delete;

    bool IsOpen() const { return m_file.IsValid(); }
    // True when the platform accepted the write; the count written is not checked.
    bool Write(const void* bytes, DWORD count);

private:
    UniqueKernelHandle m_file;
};
