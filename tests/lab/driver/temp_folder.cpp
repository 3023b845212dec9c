#include "tests/lab/driver/temp_folder.h"

#include "foundation/directory_tree.h"
#include "foundation/unique_handle.h"
#include "foundation/wide_text.h"

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

// Иван, made with the wide calls; its short form is plain ASCII wherever the volume makes
// short names (under Wine always).
std::string CyrillicFolder(const std::string& base)
{
    const std::wstring folder = std::wstring(ToUtf16(base.c_str(), CP_ACP).data()) + L"\u0418\u0432\u0430\u043d";
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return {};
    WCHAR shortForm[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(folder.c_str(), shortForm, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    const CStringA narrow = ToAnsiExactly(shortForm);
    return narrow.IsEmpty() ? std::string() : std::string(narrow.GetString()) + "\\";
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
    } else if (kind == "cyrillic") {
        folder = CyrillicFolder(base);
        if (folder.empty())
            return folder;
    } else if (kind == "too-long") {
        // Longer than the platform's temporary path may be: GetTempPath fails.
        return base + std::string(300, 'L') + "\\";
    } else if (kind.size() > 3 && kind[1] == ':' && kind[2] == '\\') {
        folder = VsFsPath(kind.c_str()).AddTrailingSeparator('\\').GetString();
    } else {
        return {};  // a kind the lab does not know
    }
    CreateDirectoryTree(VsFsPath(folder.c_str()));
    RemoveFilesIn(folder);
    return folder;
}

std::wstring TempVariableFor(const std::string& kind, const std::string& folder)
{
    std::wstring value = ToUtf16(folder.c_str(), CP_ACP).data();
    WCHAR longForm[MAX_PATH] = {};
    const DWORD length = kind == "cyrillic" ? GetLongPathNameW(value.c_str(), longForm, MAX_PATH) : 0;
    if (length > 0 && length < MAX_PATH)
        value = longForm;
    if (value.size() > 3 && value.back() == L'\\')
        value.pop_back();
    return value;
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
