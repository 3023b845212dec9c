#include "tests/directory_link/directory_link.h"

#include <windows.h>

namespace {

// Wine's own answer to where a path is on the Unix side; empty on Windows.
std::string UnixPathOf(const std::string& path)
{
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    const auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH] = {};
    if (unixFileName == nullptr || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return {};
    char* unix = unixFileName(wide);
    const std::string result = unix != nullptr ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

bool IsLink(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Runs a command line and waits for the change it makes: Wine starts a Unix program without a
// process to wait for.
bool RunUntil(std::string commandLine, bool (*done)(const std::string&), const std::string& path)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &info))
        return false;
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    for (int tries = 0; tries < 100 && !done(path); ++tries)
        Sleep(50);
    return done(path);
}

} // namespace

bool MakeDirectoryLink(const std::string& link, const std::string& target)
{
    const std::string unixLink = UnixPathOf(link);
    const std::string unixTarget = UnixPathOf(target);
    if (unixLink.empty() || unixTarget.empty())
        return RunUntil("cmd.exe /c mklink /J \"" + link + "\" \"" + target + "\"", IsLink, link);
    return RunUntil("Z:\\bin\\ln -s \"" + unixTarget + "\" \"" + unixLink + "\"", IsLink, link);
}

void RemoveDirectoryLink(const std::string& link)
{
    if (RemoveDirectoryA(link.c_str()))
        return;
    const std::string unixLink = UnixPathOf(link);
    if (!unixLink.empty())
        RunUntil("Z:\\bin\\rm -f \"" + unixLink + "\"", [](const std::string& path) { return !IsLink(path); },
                 link);
}
