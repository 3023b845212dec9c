#include "tools/lab/driver/temp_folder.h"

#include "foundation/directory_tree.h"
#include "foundation/unique_handle.h"

#include <windows.h>

namespace {

void RemoveFilesIn(const std::string& folder)
{
    WIN32_FIND_DATAA found = {};
    const UniqueFindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
    if (!find)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(find.Get(), &found));
}

} // namespace

std::string PrepareTempFolder(const std::string& kind, const std::string& base)
{
    std::string folder;
    if (kind.empty() || kind == "plain") {
        folder = base + "VsLabTemp\\";
    } else if (kind == "blanks") {
        folder = base + "Vs Lab Temp\\";
    } else if (kind == "unwritable") {
        const std::string blocker = base + "VsLabBlocked";
        const UniqueKernelHandle file(CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        return blocker + "\\Temp\\";
    } else if (kind == "trail-5c") {
        // In code page 932 the last character, 0x95 0x5C, ends in the backslash byte.
        folder = base + "VsLab\x95\x5C\\";
    } else if (kind == "too-long") {
        // Longer than the platform's temporary path may be: GetTempPathA fails.
        return base + std::string(300, 'L') + "\\";
    } else {
        folder = VsFsPath(kind.c_str()).AddTrailingSeparator('\\').GetString();
    }
    CreateDirectoryTree(VsFsPath(folder.c_str()));
    RemoveFilesIn(folder);
    return folder;
}

std::string PlantPathFor(const std::string& folder)
{
    const size_t blank = folder.find(' ');
    return blank == std::string::npos ? std::string() : folder.substr(0, blank) + ".exe";
}

std::string PlantedRunNote(const std::string& plantedPath)
{
    return plantedPath + ".ran";
}
