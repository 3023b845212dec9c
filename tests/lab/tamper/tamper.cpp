// A runtime stand-in that, while the setup waits for it, tries what another program of the
// same user could try: open the package and the runtime installer for writing, rename them and
// delete them. Like the plain stand-in it appends its command line to
// <common application data>\VsEnclosaStandin\runtime.log, then one line per attempt:
//     tamper write|rename|delete NAME refused ERROR   or   tamper ... NAME done
// An attempt that succeeds is undone where it can be (a renamed file is renamed back).
//
// The lab also starts it beside the setup, as another program of the same user, until the
// named event EVENT is set:
//     VsLabTamper hold EVENT PATH   keeps the file PATH open for reading, read sharing only, and
//                                   sets the event EVENT + "Holding" once it has it
// This mode writes no log; a hold that could not open its file ends with 1000 + the error.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
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

int Hold(HANDLE stop, const char* stopName, const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1000 + static_cast<int>(GetLastError());
    HANDLE holding = OpenEventA(EVENT_MODIFY_STATE, FALSE, (std::string(stopName) + "Holding").c_str());
    if (holding != nullptr) {
        SetEvent(holding);
        CloseHandle(holding);
    }
    WaitForSingleObject(stop, INFINITE);
    CloseHandle(file);
    return 0;
}

// The mode beside the setup; -2 when the command line names none.
int BesideTheSetup()
{
    if (__argc < 4 || std::strcmp(__argv[1], "hold") != 0)
        return -2;
    HANDLE stop = OpenEventA(SYNCHRONIZE, FALSE, __argv[2]);
    if (stop == nullptr)
        return -1;
    const int result = Hold(stop, __argv[2], __argv[3]);
    CloseHandle(stop);
    return result;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const int beside = BesideTheSetup();
    if (beside != -2)
        return beside;
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
