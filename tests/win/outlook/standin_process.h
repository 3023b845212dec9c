// The stand-in Outlook as the launcher tests use it: copies of the built program under the
// names a test needs, started with a chosen behaviour, followed through their marker files
// and never left running.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// Copies the built stand-in to folder\name and gives the copy's path.
std::string CopyStandIn(const std::string& folder, const std::string& name);

class StandIn {
public:
    // Starts exe with the stand-in's arguments (for example "--mode=ignore --windows=3") and
    // waits until all its windows exist. Check IsStarted.
    StandIn(const std::string& exe, const std::string& marker, const std::string& arguments = "");
    // Takes over a stand-in that something else started with this marker, once it has started.
    static std::unique_ptr<StandIn> Adopt(const std::string& marker, DWORD milliseconds);
    // Terminates the process when it is still running.
    ~StandIn();
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    bool IsStarted() const { return m_processId != 0; }
    DWORD ProcessId() const { return m_processId; }
    DWORD ParentProcessId() const { return m_parentId; }

    std::vector<std::string> MarkerLines() const;
    // The WM_CLOSE requests its windows received so far.
    int CloseRequests() const;
    bool EndedOrderly() const;
    bool IsRunning() const;
    bool WaitForExit(DWORD milliseconds) const;
    DWORD ExitCode() const;
    // Closes this object's handle to the ended process: from then on only the handles of others
    // keep its id from going to another process. The checks above no longer apply.
    void ReleaseHandle() { m_process.Reset(); }

private:
    explicit StandIn(const std::string& marker);
    bool ReadStart(DWORD milliseconds);

    std::string m_marker;
    UniqueProcessHandle m_process;
    DWORD m_processId = 0;
    DWORD m_parentId = 0;
};

// Registers exe as the program behind "outlook" under the App Paths key of the machine for
// as long as the object lives, by both names the shells look up.
class AppPathsRegistration {
public:
    explicit AppPathsRegistration(const std::string& exe);
    ~AppPathsRegistration();
    AppPathsRegistration(const AppPathsRegistration&) = delete;
    AppPathsRegistration& operator=(const AppPathsRegistration&) = delete;

    bool IsRegistered() const { return m_registered; }

private:
    bool m_registered = true;
};
