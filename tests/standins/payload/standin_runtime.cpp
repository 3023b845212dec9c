// Stand-in for the Visual C++ runtime installers in a build without the maker's files.
//
// It installs nothing. Every run appends one line to
//     <common application data>\VsEnclosaStandin\runtime.log
// (C:\ProgramData\VsEnclosaStandin\runtime.log on Vista and later, and in a Wine prefix):
// the complete command line, as the process received it, followed by CR LF. Tests read that
// line to see that the setup ran the runtime installer and how. Beside it, places.log gets
// one line per run: the current folder, the temporary folder and the PATH the run was given,
// "<current folder>|<temporary folder>|<PATH>", where a real installer would unpack itself and
// look for its DLLs.
//
// It ends at once, or after the milliseconds that VS_STANDIN_RUNTIME_STAY_MS names.
// Exit code: 0 when the command line asks for a quiet run ("/q:a", as the real installers
// take it), ERROR_INVALID_PARAMETER (87) otherwise; the run is logged in both cases.
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

namespace {

const char kLogFolder[] = "\\VsEnclosaStandin";
const char kLogFile[] = "\\runtime.log";
const char kPlacesFile[] = "\\places.log";
// The longest PATH logged.
const DWORD kPathLength = 8192;
// Milliseconds to stay before ending; not set: none.
const char kStayVariable[] = "VS_STANDIN_RUNTIME_STAY_MS";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// True when one of the arguments after the program name is /q:a (any letter case).
bool AsksForQuietRun(const char* commandLine) {
    const char* rest = commandLine;
    if (*rest == '"') {
        rest = std::strchr(rest + 1, '"');
    }
    if (!rest || !*rest) {
        return false;
    }
    for (++rest; *rest; ++rest) {
        const bool startsArgument = IsBlank(rest[-1]) || rest[-1] == '"';
        if (startsArgument && *rest == '/' && _strnicmp(rest + 1, "q:a", 3) == 0 &&
            (rest[4] == '\0' || IsBlank(rest[4]))) {
            return true;
        }
    }
    return false;
}

// Appends the command line and CR LF with one write, so that concurrent runs never interleave.
bool AppendLine(const char* path, const char* text) {
    const size_t length = std::strlen(text);
    char* line = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length + 2));
    if (!line) {
        return false;
    }
    std::memcpy(line, text, length);
    line[length] = '\r';
    line[length + 1] = '\n';
    bool written = false;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD count = 0;
        written = WriteFile(file, line, static_cast<DWORD>(length + 2), &count, nullptr) &&
                  count == length + 2;
        CloseHandle(file);
    }
    HeapFree(GetProcessHeap(), 0, line);
    return written;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH + sizeof kLogFolder + sizeof kLogFile] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return static_cast<int>(ERROR_PATH_NOT_FOUND);
    }
    std::strcat(path, kLogFolder);
    CreateDirectoryA(path, nullptr);
    char places[MAX_PATH * 2 + 2 + kPathLength] = "";
    const DWORD current = GetCurrentDirectoryA(MAX_PATH, places);
    char* temporary = places + (current < MAX_PATH ? current : 0);
    *temporary++ = '|';
    const DWORD temporaryLength = GetTempPathA(MAX_PATH, temporary);
    char* pathVariable = temporary + (temporaryLength < MAX_PATH ? temporaryLength : 0);
    *pathVariable++ = '|';
    GetEnvironmentVariableA("PATH", pathVariable, kPathLength);
    char placesPath[sizeof path] = "";
    std::strcpy(placesPath, path);
    std::strcat(placesPath, kPlacesFile);
    std::strcat(path, kLogFile);
    const char* commandLine = GetCommandLineA();
    if (!AppendLine(path, commandLine) || !AppendLine(placesPath, places)) {
        return static_cast<int>(ERROR_WRITE_FAULT);
    }
    // A real runtime installer takes seconds. Where someone watches the machine's processes
    // from time to time (the lab), the stand-in stays as long as asked, so that it is seen.
    char stay[16] = "";
    const DWORD length = GetEnvironmentVariableA(kStayVariable, stay, sizeof stay);
    if (length > 0 && length < sizeof stay) {
        Sleep(static_cast<DWORD>(std::strtoul(stay, nullptr, 10)));
    }
    return AsksForQuietRun(commandLine) ? 0 : static_cast<int>(ERROR_INVALID_PARAMETER);
}
