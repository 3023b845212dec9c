#include "outlook/session_outlooks.h"

#include "foundation/setup_log.h"
#include "outlook/processes_enum.h"
#include "outlook/toolhelp32_wrapper.h"

#include <algorithm>
#include <cwchar>

namespace {

const char kOutlookExecutable[] = "outlook.exe";
const WCHAR kOutlookImage[] = L"outlook.exe";
// Waiting for it, ending it, and reading its image's name.
const DWORD kProcessAccess = SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION;
// The longest path the platform gives.
const DWORD kImagePathLength = 32768;

// Whether the image that runs under the handle is outlook.exe, by its file name.
bool RunsOutlook(HANDLE process)
{
    std::vector<WCHAR> path(kImagePathLength);
    DWORD length = kImagePathLength;
    if (!QueryFullProcessImageNameW(process, 0, path.data(), &length))
        return false;
    const WCHAR* separator = wcsrchr(path.data(), L'\\');
    const WCHAR* name = separator != nullptr ? separator + 1 : path.data();
    return CompareStringOrdinal(name, -1, kOutlookImage, -1, TRUE) == CSTR_EQUAL;
}

// Adds one outlook.exe of the list to what is found, when it is this session's Outlook.
void Examine(DWORD processId, DWORD session, SessionOutlooks& found)
{
    UniqueProcessHandle process(OpenProcess(kProcessAccess, FALSE, processId));
    const DWORD openError = process ? ERROR_SUCCESS : GetLastError();
    DWORD itsSession = 0;
    if (ToolHelp().SessionOf(processId, &itsSession) && itsSession != session) {
        SetupLog::Write("Outlook: process %lu runs in session %lu, not in this one (%lu); left alone", processId,
                        itsSession, session);
        return;
    }
    if (!process) {
        SetupLog::Write("Outlook: process %lu cannot be opened (error %lu)", processId, openError);
        found.unopened.push_back(processId);
        return;
    }
    if (WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0)
        return;
    if (!RunsOutlook(process.Get())) {
        SetupLog::Write("Outlook: process %lu is not Outlook by its image; left alone", processId);
        return;
    }
    SetupLog::Write("Outlook: running as process %lu", processId);
    found.held.push_back({processId, std::move(process)});
}

} // namespace

void KeepThoseStillListed(std::vector<DWORD>& processIds)
{
    if (processIds.empty())
        return;
    CProcessesEnum processes;
    processes.Refresh();
    const std::vector<PROCESSENTRY32> listed = processes.AllByName(kOutlookExecutable);
    const auto ended = [&](DWORD processId) {
        return std::none_of(listed.begin(), listed.end(),
                            [=](const PROCESSENTRY32& entry) { return entry.th32ProcessID == processId; });
    };
    processIds.erase(std::remove_if(processIds.begin(), processIds.end(), ended), processIds.end());
}

SessionOutlooks FindSessionOutlooks()
{
    CProcessesEnum processes;
    processes.Refresh();
    DWORD session = 0;
    // The setup's own session can always be told.
    ToolHelp().SessionOf(GetCurrentProcessId(), &session);
    SessionOutlooks found;
    for (const PROCESSENTRY32& entry : processes.AllByName(kOutlookExecutable))
        Examine(entry.th32ProcessID, session, found);
    // One that could not be opened because it has ended is gone from a new list.
    KeepThoseStillListed(found.unopened);
    for (const DWORD processId : found.unopened)
        SetupLog::Write("Outlook: process %lu runs, and the setup cannot open it", processId);
    if (!found.Any())
        SetupLog::Write("Outlook: not running");
    return found;
}
