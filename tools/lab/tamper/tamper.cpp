// A runtime stand-in that, while the setup waits for it, tries what another program of the
// same user could try: open the package and the runtime installer for writing, rename them and
// delete them. Like the plain stand-in it appends its command line to
// <common application data>\VsEnclosaStandin\runtime.log, then one line per attempt:
//     tamper write|rename|delete NAME refused ERROR   or   tamper ... NAME done
// An attempt that succeeds is undone where it can be (a renamed file is renamed back).
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

std::string g_log;

void Note(const std::string& line)
{
    HANDLE file = CreateFileA(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const std::string text = line + "\r\n";
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

std::string Outcome(BOOL done)
{
    return done ? "done" : "refused " + std::to_string(GetLastError());
}

void TryEverything(const std::string& folder, const std::string& name)
{
    const std::string path = folder + name;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    Note("tamper write " + name + " " + Outcome(file != INVALID_HANDLE_VALUE));
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);

    const std::string moved = path + ".moved";
    const BOOL renamed = MoveFileA(path.c_str(), moved.c_str());
    Note("tamper rename " + name + " " + Outcome(renamed));
    if (renamed)
        MoveFileA(moved.c_str(), path.c_str());

    Note("tamper delete " + name + " " + Outcome(DeleteFileA(path.c_str())));
}

std::vector<std::string> PackagesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found = {};
    HANDLE find = FindFirstFileA((folder + "*.msi").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char common[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common)))
        return 1;
    const std::string logFolder = std::string(common) + "\\VsEnclosaStandin";
    CreateDirectoryA(logFolder.c_str(), nullptr);
    g_log = logFolder + "\\runtime.log";
    Note(GetCommandLineA());

    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string path = self;
    const size_t slash = path.rfind('\\');
    const std::string folder = path.substr(0, slash + 1);
    for (const std::string& package : PackagesIn(folder))
        TryEverything(folder, package);
    TryEverything(folder, path.substr(slash + 1));
    return 0;
}
