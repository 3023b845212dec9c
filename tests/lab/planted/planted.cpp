// A program the lab plants where an unquoted command line would be misread (C:\Users\John.exe
// for "C:\Users\John Smith\..."). It only notes that it ran, and how, in a file beside itself:
// "<own path>.ran" gets its command line, after a pause when it is given --sleep=MILLISECONDS
// (tests use that to see that a caller waits for the end).
#include <windows.h>

#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const char* commandLine = GetCommandLineA();
    if (const char* sleep = std::strstr(commandLine, "--sleep="))
        Sleep(static_cast<DWORD>(std::atoi(sleep + 8)));
    char path[MAX_PATH + 8] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 1;
    std::strcat(path, ".ran");
    HANDLE note = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (note == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(note, commandLine, static_cast<DWORD>(std::strlen(commandLine)), &written, nullptr);
    WriteFile(note, "\r\n", 2, &written, nullptr);
    CloseHandle(note);
    return 0;
}
