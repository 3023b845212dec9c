#include "resource_extraction.h"

#include "file_write.h"
#include "resource_module.h"

void ExtractResourceToFile(const char* path, WORD id, const char* type)
{
    DeleteFileA(path);
    // A missing resource gives size 0 and no bytes, so the file is created empty.
    const HMODULE module = GetResourceModule();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const DWORD size = resource != nullptr ? SizeofResource(module, resource) : 0;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;

    VsFileWrite file(path, FILE_SHARE_READ);
    // One write of the whole resource, straight from the mapped resource bytes.
    file.Write(bytes != nullptr ? bytes : "", bytes != nullptr ? size : 0);
}
