#include "foundation/resource_bytes.h"

#include "foundation/resource_module.h"

ResourceBytes LoadResourceBytes(LPCSTR name, LPCSTR type)
{
    const HMODULE module = GetResourceModule();
    HRSRC resource = FindResourceA(module, name, type);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr)
        return {};
    return {static_cast<const unsigned char*>(bytes), SizeofResource(module, resource)};
}
