#include "ui/welcome/welcome_page.h"

#include "foundation/directory_tree.h"
#include "foundation/error.h"
#include "foundation/file_write.h"
#include "foundation/resource_bytes.h"
#include "foundation/resource_extraction.h"
#include "resources/resource_ids.h"

#include <cstring>
#include <vector>

namespace {

// Little-endian UTF-16 bytes as UTF-8; an odd last byte is no character and is dropped.
std::vector<char> Utf16ToUtf8(const unsigned char* bytes, DWORD size)
{
    // Vectors, not the C++ runtime's strings: either would link that whole string class.
    std::vector<wchar_t> wide(size / 2, L'\0');
    if (!wide.empty())
        std::memcpy(wide.data(), bytes, wide.size() * sizeof(wchar_t));
    const int length = static_cast<int>(wide.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::vector<char> text(needed > 0 ? needed : 0, '\0');
    if (needed > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, text.data(), needed, nullptr, nullptr);
    return text;
}

} // namespace

namespace Welcome {

VsFsPath CreateFolder(const VsFsPath& parent)
{
    // Never a bare name: that would be a tree relative to the current folder; and never the
    // parent itself, for want of a GUID.
    const CStringA guid = NewGuidString();
    const VsFsPath folder = parent.IsEmpty() || guid.IsEmpty() ? VsFsPath() : parent.Combine(guid);
    if (folder.IsEmpty() || !CreateDirectoryTree(folder)) {
        CStringA text;
        text.Format("Failed to create directory '%s'", folder.GetString());
        throw Error::VsExceptionText(text, nullptr, 0);
    }
    return folder;
}

void WritePage(const char* path, UINT pageResourceId)
{
    const ResourceBytes page = LoadResourceBytes(MAKEINTRESOURCEA(pageResourceId), RT_HTML);
    const unsigned char* bytes = page.bytes;
    DWORD size = page.size;

    static const unsigned char utf8Mark[] = {0xEF, 0xBB, 0xBF};
    VsFileWrite file(path, FILE_SHARE_READ, CREATE_NEW);
    file.Write(utf8Mark, sizeof utf8Mark);

    if (size > 1 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        // A UTF-16 page behind a UTF-8 mark would be unreadable: it is written as UTF-8.
        const std::vector<char> text = Utf16ToUtf8(bytes + 2, size - 2);
        if (!text.empty())
            file.Write(text.data(), static_cast<DWORD>(text.size()));
        return;
    }
    if (size > 2 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bytes += 3;
        size -= 3;
    }
    if (size > 0)
        file.Write(bytes, size);
}

namespace {

struct Asset {
    bool inImages;
    const char* fileName;
    WORD resourceId;
    const char* resourceType;
};

// The order in which the files are written.
const Asset kAssets[] = {
    {false, "welcome_style.css", IDR_WELCOME_STYLE, "CSS"},
    {true, "img1.jpg", IDR_JPG_IMG1, "JPG"},
    {true, "img2.jpg", IDR_JPG_IMG2, "JPG"},
    {true, "img3.jpg", IDR_JPG_IMG3, "JPG"},
    {true, "title-enc.jpg", IDR_JPG_TITLE_ENC, "JPG"},
    {true, "bg-main.jpg", IDR_JPG_BG_MAIN, "JPG"},
    {true, "tick.jpg", IDR_JPG_TICK, "JPG"},
    {true, "main-bullet.gif", IDR_GIF_MAIN_BULLET, "GIF"},
    {true, "1.gif", IDR_GIF_STEP_1, "GIF"},
    {true, "2.gif", IDR_GIF_STEP_2, "GIF"},
};

} // namespace

void WriteAssets(const VsFsPath& folder)
{
    // Without the images folder the pictures fail to write and the page shows without them.
    const VsFsPath images = folder.Combine("images");
    CreateDirectoryTree(images);
    for (const Asset& asset : kAssets)
        ExtractResourceToFile((asset.inImages ? images : folder).Combine(asset.fileName), asset.resourceId,
                              asset.resourceType);
}

} // namespace Welcome
