#include "tests/win/outlook/fake_toolhelp.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

namespace {

int g_mode = FakeSnapshotRefused;
size_t g_next = 0;

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

bool Lists() { return g_mode == FakeListing || g_mode == FakeThisProcessAsOutlook || g_mode == FakeUnopenableOutlook; }

BOOL Fill(PROCESSENTRY32* entry)
{
    const FakeProcess single = {g_mode == FakeUnopenableOutlook ? kFakeUnopenableId : GetCurrentProcessId(), 0, 1,
                                "outlook.exe"};
    const size_t count = g_mode != FakeListing ? 1 : sizeof FakeListingProcesses / sizeof FakeListingProcesses[0];
    if (g_next >= count)
        return Fail(ERROR_NO_MORE_FILES);
    const FakeProcess& process = g_mode != FakeListing ? single : FakeListingProcesses[g_next];
    ++g_next;
    const DWORD size = entry->dwSize;
    std::memset(entry, 0, sizeof *entry);
    entry->dwSize = size;
    entry->th32ProcessID = process.processId;
    entry->th32ParentProcessID = process.parentId;
    entry->cntThreads = process.threads;
    std::strcpy(entry->szExeFile, process.exeFile);
    return TRUE;
}

} // namespace

extern "C" {

__declspec(dllexport) void SetFakeToolhelpMode(int mode) { g_mode = mode; }

__declspec(dllexport) HANDLE WINAPI CreateToolhelp32Snapshot(DWORD, DWORD)
{
    if (g_mode == FakeSnapshotRefused) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    char name[64];
    std::snprintf(name, sizeof name, FAKE_SNAPSHOT_NAME_FORMAT, GetCurrentProcessId());
    g_next = 0;
    return CreateEventA(nullptr, TRUE, FALSE, name);
}

__declspec(dllexport) BOOL WINAPI Process32First(HANDLE, PROCESSENTRY32* entry)
{
    if (!Lists())
        return Fail(ERROR_NO_MORE_FILES);
    if (entry->dwSize != sizeof *entry)
        return Fail(ERROR_BAD_LENGTH);
    return Fill(entry);
}

__declspec(dllexport) BOOL WINAPI Process32Next(HANDLE, PROCESSENTRY32* entry)
{
    return Lists() ? Fill(entry) : Fail(ERROR_NO_MORE_FILES);
}

} // extern "C"
