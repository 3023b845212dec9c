// Programs a test starts and watches: the setup executable, msiexec, probes.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>

#include <string>
#include <vector>

// A path of the build tree (a Unix path) as the prefix sees it, on drive Z:.
std::string BuildTreePath(const std::string& unixPath);

class ChildProcess {
public:
    // environment: "NAME=value" entries replacing or adding to this process's environment.
    explicit ChildProcess(std::string commandLine, const std::vector<std::string>& environment = {});
    // Terminates the program if it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_process.IsValid(); }
    DWORD Id() const { return m_id; }
    // The exit code; ~0u when the program did not end in time.
    DWORD WaitForExit(DWORD milliseconds);
    // Full paths of the DLLs the running program has loaded, lower case; none, with the
    // platform's error in error, when they cannot be listed.
    std::vector<std::string> LoadedModules(DWORD& error) const;

private:
    UniqueProcessHandle m_process;
    DWORD m_id = 0;
};

// Runs a command line to its end (at most two minutes) and gives its exit code.
DWORD RunToEnd(const std::string& commandLine);

// A test package installed silently into the prefix for as long as the object lives.
class InstalledPackage {
public:
    explicit InstalledPackage(std::string packagePath);
    ~InstalledPackage();
    InstalledPackage(const InstalledPackage&) = delete;
    InstalledPackage& operator=(const InstalledPackage&) = delete;

    // msiexec's result; 0 when the package is installed.
    DWORD Result() const { return m_result; }

private:
    std::string m_path;
    DWORD m_result;
};
