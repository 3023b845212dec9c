#include "foundation/setup_log.h"

#include "foundation/fs_path.h"
#include "foundation/reparse_point.h"
#include "foundation/unique_handle.h"

#include <cstdarg>
#include <cstdio>
#include <exception>

namespace {

constexpr char kLogName[] = "VsEnclosaSetupBoot.log";

struct LogFile {
    UniqueKernelHandle file;
    char msiLogName[96] = {};
};

LogFile& Log()
{
    static LogFile log;
    return log;
}

// One write per line: appends of runs at the same time do not mix within a line.
void WriteLine(const char* text, int length)
{
    LogFile& log = Log();
    if (!log.file || length <= 0)
        return;
    DWORD written = 0;
    if (!WriteFile(log.file.Get(), text, static_cast<DWORD>(length), &written, nullptr))
        log.file.Reset();
}

// Lines longer than this are cut: a log line is never worth a failure.
constexpr int kLineLimit = 4096;

void Print(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Print(const char* format, ...)
{
    char line[kLineLimit];
    va_list arguments;
    va_start(arguments, format);
    int length = std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    WriteLine(line, length < static_cast<int>(sizeof line) ? length : static_cast<int>(sizeof line) - 1);
}

// The version Windows really has: GetVersionEx answers what the manifest names at most.
void WindowsVersion(char (&text)[64])
{
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    const auto getVersion = reinterpret_cast<RtlGetVersionFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    if (getVersion == nullptr || getVersion(&info) != 0) {
        std::snprintf(text, sizeof text, "unknown");
        return;
    }
    BOOL wow64 = FALSE;
    const bool windows64 = sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
    std::snprintf(text, sizeof text, "%lu.%lu.%lu (%s)", info.dwMajorVersion, info.dwMinorVersion,
                  info.dwBuildNumber, windows64 ? "64-bit" : "32-bit");
}

// The temporary folder, or none: the log throws nothing, not even when memory runs out.
VsFsPath LogFolder()
{
    try {
        return GetTempFolder();
    } catch (const std::exception&) {
        return VsFsPath();
    }
}

// The log is appended by an elevated process in a folder the person's other programs can
// write: whatever they put at its name (a link to another file, a folder) is left alone.
UniqueKernelHandle OpenLogFile(const char* path)
{
    UniqueKernelHandle file(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                        nullptr));
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!file || IsLink(path, file.Get()) || !GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || info.nNumberOfLinks > 1)
        return UniqueKernelHandle();
    return file;
}

const char* Elevated()
{
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened))
        return "unknown";
    const UniqueKernelHandle token(opened);
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    if (!GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof elevation, &size))
        return "unknown";
    return elevation.TokenIsElevated ? "yes" : "no";
}

} // namespace

namespace SetupLog {

void Open(const char* version, const char* path)
{
    LogFile& log = Log();
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char run[48] = {};
    std::snprintf(run, sizeof run, "%04u%02u%02u-%02u%02u%02u-%lu", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond, GetCurrentProcessId());
    std::snprintf(log.msiLogName, sizeof log.msiLogName, "VsEnclosaSetupBoot-%s-msi.log", run);
    char tempPath[MAX_PATH + 32] = {};
    if (path == nullptr || *path == '\0') {
        const VsFsPath tempFolder = LogFolder();
        // A longer folder would not fit the path, and a path cut short names another file.
        if (tempFolder.IsEmpty() || tempFolder.GetLength() > MAX_PATH)
            return;
        std::snprintf(tempPath, sizeof tempPath, "%s%s", tempFolder.GetString(), kLogName);
        path = tempPath;
    }
    log.file = OpenLogFile(path);
    char windows[64] = {};
    WindowsVersion(windows);
    LARGE_INTEGER size = {};
    // A blank line between runs.
    if (log.file && GetFileSizeEx(log.file.Get(), &size) && size.QuadPart > 0)
        Print("\r\n");
    Print("==== Run %s, %04u-%02u-%02u %02u:%02u:%02u local time\r\n", run, now.wYear, now.wMonth, now.wDay,
          now.wHour, now.wMinute, now.wSecond);
    Print("VsEnclosaSetupBoot %s (%d-bit), Windows %s, ANSI code page %u, elevated: %s\r\n", version,
          static_cast<int>(sizeof(void*) * 8), windows, GetACP(), Elevated());
}

bool IsOpen() { return Log().file.IsValid(); }

void Close() { Log().file.Reset(); }

void Write(const char* format, ...)
{
    if (!Log().file)
        return;
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char line[kLineLimit];
    int length = std::snprintf(line, sizeof line, "%02u:%02u:%02u.%03u ", now.wHour, now.wMinute, now.wSecond,
                               now.wMilliseconds);
    va_list arguments;
    va_start(arguments, format);
    const int room = static_cast<int>(sizeof line) - length - 2;
    const int text = std::vsnprintf(line + length, static_cast<size_t>(room), format, arguments);
    va_end(arguments);
    if (text < 0)
        return;
    length += text < room ? text : room - 1;
    line[length++] = '\r';
    line[length++] = '\n';
    WriteLine(line, length);
}

const char* MsiLogName() { return Log().msiLogName; }

} // namespace SetupLog
