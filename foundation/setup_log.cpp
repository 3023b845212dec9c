#include "foundation/setup_log.h"

#include "foundation/fs_path.h"
#include "foundation/guid_text.h"
#include "foundation/reparse_point.h"
#include "foundation/secured_create.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <exception>

namespace {

constexpr char kLogPrefix[] = "VsEnclosaSetupBoot-";

struct LogFile {
    UniqueKernelHandle file;
    // The folder of a log an administrator named, held while the log is open.
    UniqueKernelHandle folder;
    char path[MAX_PATH] = {};
    // The run's name: its start time and a GUID.
    char run[64] = {};
    // What Windows Installer's log beside it is made with.
    const char* descriptor = kAdministratorsOnlyFile;
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

// Only a plain file on a disk is written: no link, folder, second name of another file (a hard
// link another program planted), pipe or device.
bool IsPlainFileOnDisk(const char* path, const UniqueKernelHandle& file)
{
    BY_HANDLE_FILE_INFORMATION info = {};
    return file && GetFileType(file.Get()) == FILE_TYPE_DISK && !IsLink(path, file.Get()) &&
           GetFileInformationByHandle(file.Get(), &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           info.nNumberOfLinks == 1;
}

// A new file in Windows' Temp folder, which no user can redirect, under a name nobody can know.
void OpenNewLog(LogFile& log)
{
    const VsFsPath folder = GetWindowsTempFolder();
    const int length =
        std::snprintf(log.path, sizeof log.path, "%s\\%s%s.log", folder.GetString(), kLogPrefix, log.run);
    if (folder.IsEmpty() || length <= 0 || length >= static_cast<int>(sizeof log.path))
        return;
    log.file = CreateSecuredFile(log.path, kAdministratorsOnlyFile, FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_NEW);
}

// The file an administrator named, appended by runs one after the other (and at the same time).
// Its folder is held as a layout's is: a link on the way is looked for before and after.
void OpenNamedLog(LogFile& log, const char* path)
{
    if (std::strlen(path) >= sizeof log.path || !FirstLinkOnTheWay(path).IsEmpty())
        return;
    std::snprintf(log.path, sizeof log.path, "%s", path);
    log.folder = HoldFolder(VsFsPath(path).GetFolder());
    if (!log.folder || !FirstLinkOnTheWay(path).IsEmpty())
        return;
    log.descriptor = kAdministratorsOwnedFile;
    log.file = CreateSecuredFile(path, kAdministratorsOwnedFile, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 OPEN_ALWAYS);
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
    log = LogFile();
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    try {
        // No GUID, no name that nobody can know first: no log.
        const CStringA guid = NewGuidString();
        if (guid.IsEmpty())
            return;
        std::snprintf(log.run, sizeof log.run, "%04u%02u%02u-%02u%02u%02u-%s", now.wYear, now.wMonth, now.wDay,
                      now.wHour, now.wMinute, now.wSecond, guid.GetString());
        if (path == nullptr || *path == '\0')
            OpenNewLog(log);
        else
            OpenNamedLog(log, path);
    } catch (const std::exception&) {
        // Out of memory: the log throws nothing, and is skipped.
    }
    if (!IsPlainFileOnDisk(log.path, log.file)) {
        log = LogFile();
        return;
    }
    char windows[64] = {};
    WindowsVersion(windows);
    LARGE_INTEGER size = {};
    // A blank line between runs.
    if (GetFileSizeEx(log.file.Get(), &size) && size.QuadPart > 0)
        Print("\r\n");
    Print("==== Run %s, %04u-%02u-%02u %02u:%02u:%02u local time\r\n", log.run, now.wYear, now.wMonth, now.wDay,
          now.wHour, now.wMinute, now.wSecond);
    Print("VsEnclosaSetupBoot %s (%d-bit), Windows %s, ANSI code page %u, elevated: %s\r\n", version,
          static_cast<int>(sizeof(void*) * 8), windows, GetACP(), Elevated());
}

bool IsOpen() { return Log().file.IsValid(); }

void Close()
{
    Log().file.Reset();
    Log().folder.Reset();
}

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

const char* Path() { return Log().path; }

MsiLog NewMsiLog()
{
    const LogFile& log = Log();
    MsiLog msiLog;
    const char* const name = std::strrchr(log.path, '\\');
    if (!log.file || name == nullptr)
        return msiLog;
    const int length = std::snprintf(msiLog.path, sizeof msiLog.path, "%.*s%s%s-msi.log",
                                     static_cast<int>(name + 1 - log.path), log.path, kLogPrefix, log.run);
    if (length > 0 && length < static_cast<int>(sizeof msiLog.path)) {
        // Never written through: the handle holds the name for Windows Installer, which opens it
        // to write beside this handle. Only a handle with data access keeps a deleter out.
        msiLog.hold = CreateSecuredFile(msiLog.path, log.descriptor, FILE_APPEND_DATA,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_NEW);
    }
    if (!IsPlainFileOnDisk(msiLog.path, msiLog.hold))
        msiLog = MsiLog();
    return msiLog;
}

} // namespace SetupLog
