#include "foundation/resource_extraction.h"

#include "foundation/file_write.h"
#include "foundation/resource_bytes.h"

#include <algorithm>
#include <cstring>

namespace {

// The held file is compared a window at a time: a view of a whole package of many megabytes
// may find no room in a 32-bit address space. A multiple of the allocation granularity.
constexpr DWORD kCompareWindow = 4 * 1024 * 1024;

PayloadCheck CompareInWindows(HANDLE mapping, const ResourceBytes& resource)
{
    for (DWORD offset = 0; offset < resource.size; offset += kCompareWindow) {
        const DWORD length = std::min(kCompareWindow, resource.size - offset);
        const UniqueFileView view(MapViewOfFile(mapping, FILE_MAP_READ, 0, offset, length));
        if (!view)
            return PayloadCheck::NotHeld;
        if (std::memcmp(view.Get(), resource.bytes + offset, length) != 0)
            return PayloadCheck::Differs;
    }
    return PayloadCheck::Intact;
}

} // namespace

DWORD ExtractResourceToFile(const char* path, WORD id, const char* type)
{
    DeleteFileA(path);
    const ResourceBytes resource = LoadResourceBytes(MAKEINTRESOURCEA(id), type);
    VsFileWrite file(path, FILE_SHARE_READ, CREATE_NEW);
    if (!file.IsOpen())
        return GetLastError();
    // One write of the whole resource, straight from the mapped resource bytes.
    const void* bytes = resource.bytes != nullptr ? static_cast<const void*>(resource.bytes) : "";
    return file.Write(bytes, resource.size) ? ERROR_SUCCESS : GetLastError();
}

PayloadCheck CheckAgainstResource(HANDLE file, WORD id, const char* type)
{
    LARGE_INTEGER size{};
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size))
        return PayloadCheck::NotHeld;
    const ResourceBytes resource = LoadResourceBytes(MAKEINTRESOURCEA(id), type);
    // Without the resource there is nothing the file could be: an empty file is not ours either.
    if (resource.bytes == nullptr || size.QuadPart != resource.size)
        return PayloadCheck::Differs;
    if (resource.size == 0)
        return PayloadCheck::Intact;
    // Compared in place through views of the held file, without a copy; the hold keeps anyone
    // from shortening the file under a view.
    const UniqueKernelHandle mapping(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping)
        return PayloadCheck::NotHeld;
    return CompareInWindows(mapping.Get(), resource);
}

PayloadHold HoldAndCheck(const char* path, WORD id, const char* type)
{
    PayloadHold hold;
    hold.file.Reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    hold.check = CheckAgainstResource(hold.file.Get(), id, type);
    return hold;
}
