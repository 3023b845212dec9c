#include "foundation/resource_extraction.h"

#include "foundation/error.h"
#include "foundation/file_write.h"
#include "foundation/resource_bytes.h"
#include "resources/resource_ids.h"

#include <cstring>

void ExtractResourceToFile(const char* path, WORD id, const char* type)
{
    DeleteFileA(path);
    const ResourceBytes resource = LoadResourceBytes(MAKEINTRESOURCEA(id), type);
    VsFileWrite file(path, FILE_SHARE_READ);
    // One write of the whole resource, straight from the mapped resource bytes.
    file.Write(resource.bytes != nullptr ? static_cast<const void*>(resource.bytes) : "", resource.size);
}

PayloadCheck CheckAgainstResource(HANDLE file, WORD id, const char* type)
{
    LARGE_INTEGER size{};
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size))
        return PayloadCheck::NotHeld;
    const ResourceBytes resource = LoadResourceBytes(MAKEINTRESOURCEA(id), type);
    if (size.QuadPart != resource.size)
        return PayloadCheck::Differs;
    if (resource.size == 0)
        return PayloadCheck::Intact;
    // Compared in place through a view of the held file, without a copy; the hold keeps anyone
    // from shortening the file under the view.
    const UniqueKernelHandle mapping(CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr));
    const UniqueFileView view(mapping ? MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0) : nullptr);
    if (!view)
        return PayloadCheck::NotHeld;
    return std::memcmp(view.Get(), resource.bytes, resource.size) == 0 ? PayloadCheck::Intact : PayloadCheck::Differs;
}

PayloadHold HoldAndCheck(const char* path, WORD id, const char* type)
{
    PayloadHold hold;
    hold.file.Reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    hold.check = CheckAgainstResource(hold.file.Get(), id, type);
    return hold;
}

VsFsPath PayloadFolder()
{
    VsFsPath folder = GetTempFolder();
    if (folder.IsEmpty()) {
        CStringA text;
        text.LoadById(IDS_NO_TEMP_FOLDER);
        throw Error::VsExceptionText(text, nullptr, 0);
    }
    return folder;
}
