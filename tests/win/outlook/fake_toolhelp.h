// A module with the three process-list functions that fail the way a test chooses. The real
// platform cannot be made to refuse a snapshot on demand, so the snapshot tests name this
// module instead of Kernel32.dll.
#pragma once

enum FakeToolhelpMode {
    // CreateToolhelp32Snapshot gives INVALID_HANDLE_VALUE with ERROR_ACCESS_DENIED.
    FakeSnapshotRefused = 0,
    // A real handle (a named event, see FakeSnapshotName), then Process32First fails with
    // ERROR_NO_MORE_FILES.
    FakeFirstProcessFails = 1,
    // The three records of FakeListing, then Process32Next fails; Process32First insists on
    // dwSize being the size of the record, as the platform does.
    FakeListing = 2,
    // One record: the process that loaded the module, named outlook.exe; then Process32Next
    // fails. The launcher then deals with the test program itself as Outlook.
    FakeThisProcessAsOutlook = 3,
    // One record: outlook.exe under kFakeUnopenableId, an id no process has; then Process32Next
    // fails.
    FakeUnopenableOutlook = 4,
};

constexpr unsigned long kFakeUnopenableId = 0x7FFFFFF0;

// Exported as SetFakeToolhelpMode.
using SetFakeToolhelpModeFunction = void (*)(int mode);

#define FAKE_TOOLHELP_DLL "fake_toolhelp.dll"
// The snapshot handle is an event of this name, formatted with the process identifier; once
// every handle to it is closed, it can no longer be opened.
#define FAKE_SNAPSHOT_NAME_FORMAT "VsFakeToolhelpSnapshot.%lu"

struct FakeProcess {
    unsigned long processId;
    unsigned long parentId;
    unsigned long threads;
    const char* exeFile;
};

constexpr FakeProcess FakeListingProcesses[] = {
    {101, 4, 7, "C:\\Program Files\\Office\\OUTLOOK.EXE"},
    {102, 4, 3, "outlook.exe"},
    {103, 101, 1, "explorer.exe"},
};
