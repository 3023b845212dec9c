#include "tests/win/outlook/standin_process.h"

#include "tests/win/support/temp_dir.h"
#include "tests/win/support/wait.h"

#include <cstdio>
#include <sstream>

namespace {

const char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char* const kOutlookAppPathNames[] = {"outlook", "outlook.exe"};

std::string BuiltStandIn()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path(module);
    path = path.substr(0, path.find_last_of('\\') + 1) + VS_STANDIN_RELATIVE_PATH;
    char full[MAX_PATH] = {};
    GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// Every stand-in ends with this test program at the latest, even after a crash or the
// watchdog. Only stand-ins belong to the job: the platform's own helpers that this program
// happens to start (Wine starts the desktop's Explorer on demand) must outlive it.
HANDLE StandInJob()
{
    static const HANDLE job = [] {
        HANDLE created = CreateJobObjectA(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (created != nullptr)
            SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        return created;
    }();
    return job;
}

} // namespace

std::string CopyStandIn(const std::string& folder, const std::string& name)
{
    const std::string copy = folder + "\\" + name;
    return CopyFileA(BuiltStandIn().c_str(), copy.c_str(), FALSE) ? copy : std::string();
}

StandIn::StandIn(const std::string& marker) : m_marker(marker) {}

StandIn::StandIn(const std::string& exe, const std::string& marker, const std::string& arguments) : m_marker(marker)
{
    std::string commandLine = "\"" + exe + "\" --marker=\"" + marker + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &process))
        return;
    m_process.Reset(process.hProcess);
    AssignProcessToJobObject(StandInJob(), process.hProcess);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    if (!ReadStart(10000) || m_processId != process.dwProcessId)
        m_processId = 0;
}

std::unique_ptr<StandIn> StandIn::Adopt(const std::string& marker, DWORD milliseconds)
{
    std::unique_ptr<StandIn> standIn(new StandIn(marker));
    if (standIn->ReadStart(milliseconds))
        standIn->m_process.Reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_SET_QUOTA |
                                                 PROCESS_QUERY_LIMITED_INFORMATION,
                                             FALSE, standIn->m_processId));
    if (standIn->m_process)
        AssignProcessToJobObject(StandInJob(), standIn->m_process.Get());
    else
        standIn->m_processId = 0;
    return standIn;
}

StandIn::~StandIn()
{
    if (IsRunning()) {
        TerminateProcess(m_process.Get(), 1);
        WaitForSingleObject(m_process.Get(), 5000);
    }
}

bool StandIn::ReadStart(DWORD milliseconds)
{
    return WaitUntil(
        [this] {
            const auto lines = MarkerLines();
            return !lines.empty() &&
                   std::sscanf(lines[0].c_str(), "started %lu %lu", &m_processId, &m_parentId) == 2;
        },
        milliseconds);
}

std::vector<std::string> StandIn::MarkerLines() const
{
    std::vector<std::string> lines;
    std::istringstream text(ReadFileBytes(m_marker));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

int StandIn::CloseRequests() const
{
    int count = 0;
    for (const std::string& line : MarkerLines())
        count += line.rfind("close ", 0) == 0 ? 1 : 0;
    return count;
}

bool StandIn::EndedOrderly() const
{
    const auto lines = MarkerLines();
    return !lines.empty() && lines.back() == "ended";
}

bool StandIn::IsRunning() const { return m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT; }

bool StandIn::WaitForExit(DWORD milliseconds) const
{
    return m_process && WaitForSingleObject(m_process.Get(), milliseconds) == WAIT_OBJECT_0;
}

DWORD StandIn::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

AppPathsRegistration::AppPathsRegistration(const std::string& exe)
{
    for (const char* name : kOutlookAppPathNames) {
        HKEY key = nullptr;
        const std::string path = std::string(kAppPaths) + name;
        const bool written =
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
                ERROR_SUCCESS &&
            RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(exe.c_str()),
                           static_cast<DWORD>(exe.size() + 1)) == ERROR_SUCCESS;
        UniqueRegKey owner(key);
        m_registered = m_registered && written;
    }
}

AppPathsRegistration::~AppPathsRegistration()
{
    for (const char* name : kOutlookAppPathNames)
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kAppPaths) + name).c_str());
}
