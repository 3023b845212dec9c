#include "tests/win/app/child_process.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// This process's environment with the given entries replaced or added, as a block.
std::string EnvironmentBlock(const std::vector<std::string>& changes)
{
    std::vector<std::string> entries;
    char* block = GetEnvironmentStringsA();
    for (const char* entry = block; *entry != '\0'; entry += std::strlen(entry) + 1)
        entries.emplace_back(entry);
    FreeEnvironmentStringsA(block);
    for (const std::string& change : changes) {
        const std::string name = Lower(change.substr(0, change.find('=') + 1));
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                                     [&](const std::string& e) { return Lower(e.substr(0, name.size())) == name; }),
                      entries.end());
        entries.push_back(change);
    }
    std::string result;
    for (const std::string& entry : entries)
        result += entry + '\0';
    return result + '\0';
}

} // namespace

std::string BuildTreePath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

ChildProcess::ChildProcess(std::string commandLine, const std::vector<std::string>& environment)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string block = EnvironmentBlock(environment);
    if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0,
                       environment.empty() ? nullptr : &block[0], nullptr, &startup, &info)) {
        m_process.Reset(info.hProcess);
        CloseHandle(info.hThread);
        m_id = info.dwProcessId;
    }
}

ChildProcess::~ChildProcess()
{
    if (m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.Get(), 1);
        WaitForSingleObject(m_process.Get(), 10000);
    }
}

DWORD ChildProcess::WaitForExit(DWORD milliseconds)
{
    if (!m_process || WaitForSingleObject(m_process.Get(), milliseconds) != WAIT_OBJECT_0)
        return ~0u;
    DWORD code = 0;
    GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

std::vector<std::string> ChildProcess::LoadedModules(DWORD& error) const
{
    std::vector<std::string> modules;
    UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, m_id));
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    if (!snapshot || !Module32First(snapshot.Get(), &entry)) {
        error = GetLastError();
        return modules;
    }
    error = ERROR_SUCCESS;
    do
        modules.push_back(Lower(entry.szExePath));
    while (Module32Next(snapshot.Get(), &entry));
    return modules;
}

DWORD RunToEnd(const std::string& commandLine)
{
    ChildProcess process(commandLine);
    return process.WaitForExit(120000);
}

InstalledPackage::InstalledPackage(std::string packagePath)
    : m_path(std::move(packagePath)), m_result(RunToEnd("msiexec /i \"" + m_path + "\" /qn"))
{
}

InstalledPackage::~InstalledPackage()
{
    if (m_result == ERROR_SUCCESS)
        RunToEnd("msiexec /x \"" + m_path + "\" /qn");
}
