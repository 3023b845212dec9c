#include "resource_extraction.h"

#include "error.h"
#include "file_write.h"
#include "resource_ids.h"
#include "resource_module.h"

#include <cstring>
#include <vector>

namespace {

struct ResourceBytes {
    const void* bytes = nullptr;
    DWORD size = 0;
};

// A missing resource gives size 0 and no bytes.
ResourceBytes FindResourceBytes(WORD id, const char* type)
{
    const HMODULE module = GetResourceModule();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    return bytes != nullptr ? ResourceBytes{bytes, SizeofResource(module, resource)} : ResourceBytes{};
}

constexpr DWORD kCompareChunk = 1 << 20;

} // namespace

void ExtractResourceToFile(const char* path, WORD id, const char* type)
{
    DeleteFileA(path);
    const ResourceBytes resource = FindResourceBytes(id, type);
    VsFileWrite file(path, FILE_SHARE_READ);
    // One write of the whole resource, straight from the mapped resource bytes.
    file.Write(resource.bytes != nullptr ? resource.bytes : "", resource.size);
}

PayloadCheck CheckAgainstResource(HANDLE file, WORD id, const char* type)
{
    LARGE_INTEGER size{};
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size))
        return PayloadCheck::NotHeld;
    const ResourceBytes resource = FindResourceBytes(id, type);
    if (size.QuadPart != resource.size)
        return PayloadCheck::Differs;
    const LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return PayloadCheck::NotHeld;

    std::vector<char> chunk(resource.size < kCompareChunk ? resource.size : kCompareChunk);
    const char* expected = static_cast<const char*>(resource.bytes);
    for (DWORD done = 0; done < resource.size;) {
        const DWORD wanted = resource.size - done < kCompareChunk ? resource.size - done : kCompareChunk;
        DWORD read = 0;
        if (!ReadFile(file, chunk.data(), wanted, &read, nullptr) || read != wanted)
            return PayloadCheck::NotHeld;
        if (std::memcmp(chunk.data(), expected + done, wanted) != 0)
            return PayloadCheck::Differs;
        done += wanted;
    }
    return PayloadCheck::Intact;
}

PayloadHold HoldAndCheck(const char* path, WORD id, const char* type)
{
    PayloadHold hold;
    hold.file.Reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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
