#include "foundation/error.h"
#include "foundation/unique_handle.h"
#include "outlook/processes_enum.h"
#include "outlook/toolhelp32_wrapper.h"
#include "tests/win/outlook/fake_toolhelp_module.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

PROCESSENTRY32 Entry(DWORD processId, const char* exeFile)
{
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    entry.th32ProcessID = processId;
    std::strcpy(entry.szExeFile, exeFile);
    return entry;
}

std::string ThisExeName()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full(path);
    return full.substr(full.find_last_of('\\') + 1);
}

std::string Upper(std::string text)
{
    for (char& ch : text)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return text;
}

// Refresh's exception with the process-list module from load, the list filled beforehand so
// that emptying it shows.
Error::VsExceptionCommon RefreshFailure(HMODULE (*load)(), size_t& sizeAfter)
{
    const ScopedToolHelpFunctions toolHelp({load});
    CProcessesEnum processes;
    processes.push_back(Entry(1, "outlook.exe"));
    try {
        processes.Refresh();
    } catch (const Error::VsExceptionCommon& error) {
        sizeAfter = processes.size();
        return error;
    }
    ADD_FAILURE() << "Refresh did not throw";
    return Error::VsExceptionCommon(0, "", nullptr, 0);
}

bool SnapshotHandleStillOpen()
{
    char name[64];
    std::snprintf(name, sizeof name, FAKE_SNAPSHOT_NAME_FORMAT, GetCurrentProcessId());
    const UniqueKernelHandle event(OpenEventA(SYNCHRONIZE, FALSE, name));
    return event.IsValid();
}

} // namespace

TEST(ProcessSnapshot, RealSnapshotListsThisProcessUnderAnyCase)
{
    CProcessesEnum processes;
    EXPECT_FALSE(processes.FindByName(ThisExeName().c_str(), nullptr)) << "never refreshed";

    processes.Refresh();
    PROCESSENTRY32 found = {};
    ASSERT_TRUE(processes.FindByName(Upper(ThisExeName()).c_str(), &found));
    EXPECT_EQ(found.th32ProcessID, GetCurrentProcessId());
    EXPECT_EQ(found.dwSize, sizeof(PROCESSENTRY32));
}

TEST(ProcessSnapshot, FindByNameComparesTheLastNameComponentAndTakesTheFirstMatch)
{
    CProcessesEnum processes;
    processes.push_back(Entry(10, "explorer.exe"));
    processes.push_back(Entry(11, "C:\\Program Files\\Microsoft Office\\Office14\\OUTLOOK.EXE"));
    processes.push_back(Entry(12, "outlook.exe"));
    processes.push_back(Entry(13, "outlook.exe.old"));

    PROCESSENTRY32 found = {};
    ASSERT_TRUE(processes.FindByName("outlook.exe", &found));
    EXPECT_EQ(found.th32ProcessID, 11u);
    EXPECT_STREQ(found.szExeFile, "C:\\Program Files\\Microsoft Office\\Office14\\OUTLOOK.EXE");
    EXPECT_TRUE(processes.FindByName("Outlook.Exe", nullptr));

    // A miss leaves the record as it was; a partial name or a folder is no match.
    PROCESSENTRY32 untouched = Entry(77, "kept");
    EXPECT_FALSE(processes.FindByName("outlook", &untouched));
    EXPECT_FALSE(processes.FindByName("Office14", &untouched));
    EXPECT_FALSE(processes.FindByName("", &untouched));
    EXPECT_EQ(untouched.th32ProcessID, 77u);
    EXPECT_STREQ(untouched.szExeFile, "kept");
}

// A process-list module that cannot be loaded, or one that loads but exports none of the three
// functions (user32.dll): no snapshot, and Refresh raises the snapshot's error.
TEST(ToolHelp32Wrapper, ModuleThatCannotBeHadRaisesTheSnapshotError)
{
    {
        const ScopedToolHelpFunctions toolHelp({LoadMissingModule});
        const CToolHelp32Wrapper wrapper;
        EXPECT_FALSE(wrapper.IsLoaded());
        EXPECT_EQ(wrapper.CreateSnapshot(TH32CS_SNAPPROCESS, 0), nullptr);
        PROCESSENTRY32 entry = {};
        EXPECT_FALSE(wrapper.FirstProcess(nullptr, &entry));
        EXPECT_FALSE(wrapper.NextProcess(nullptr, &entry));
    }
    for (HMODULE (*load)() : {LoadMissingModule, LoadModuleWithoutToolhelp}) {
        size_t sizeAfter = 99;
        const auto error = RefreshFailure(load, sizeAfter);
        EXPECT_EQ(error.GetDescription(), "CreateToolhelp32Snapshot (of processes)");
        EXPECT_EQ(sizeAfter, 0u);
    }
}

// The real platform cannot be made to refuse a snapshot on demand; the fake module can.
class FailingSnapshot : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_fake.IsLoaded()) << "cannot load " << m_fake.Path(); }

    const FakeToolhelpModule m_fake;
};

TEST_F(FailingSnapshot, RefusedSnapshotRaisesTheSnapshotError)
{
    m_fake.SetMode(FakeSnapshotRefused);
    size_t sizeAfter = 99;
    const auto error = RefreshFailure(FakeToolhelpModule::Load, sizeAfter);
    EXPECT_EQ(error.GetCode(), static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(error.GetDescription(), "CreateToolhelp32Snapshot (of processes)");
    EXPECT_EQ(error.GetSourceFile(), "");
    EXPECT_EQ(error.GetLine(), 0);
    EXPECT_EQ(sizeAfter, 0u);
}

TEST_F(FailingSnapshot, FailingFirstProcessRaisesItsErrorAndClosesTheSnapshot)
{
    m_fake.SetMode(FakeFirstProcessFails);
    size_t sizeAfter = 99;
    const auto error = RefreshFailure(FakeToolhelpModule::Load, sizeAfter);
    EXPECT_EQ(error.GetCode(), static_cast<unsigned long>(ERROR_NO_MORE_FILES));
    EXPECT_EQ(error.GetDescription(), "Process32First failed.");
    EXPECT_EQ(error.GetLine(), 0);
    EXPECT_EQ(sizeAfter, 0u);
    EXPECT_FALSE(SnapshotHandleStillOpen());
}

TEST_F(FailingSnapshot, ListingKeepsCompleteRecordsInOrderAndClosesTheSnapshot)
{
    m_fake.SetMode(FakeListing);
    const ScopedToolHelpFunctions toolHelp({FakeToolhelpModule::Load});
    CProcessesEnum processes;
    processes.Refresh();
    processes.Refresh();
    ASSERT_EQ(processes.size(), std::size(FakeListingProcesses));
    for (size_t i = 0; i < processes.size(); ++i) {
        EXPECT_EQ(processes[i].th32ProcessID, FakeListingProcesses[i].processId);
        EXPECT_EQ(processes[i].th32ParentProcessID, FakeListingProcesses[i].parentId);
        EXPECT_EQ(processes[i].cntThreads, FakeListingProcesses[i].threads);
        EXPECT_STREQ(processes[i].szExeFile, FakeListingProcesses[i].exeFile);
    }
    EXPECT_FALSE(SnapshotHandleStillOpen());

    PROCESSENTRY32 found = {};
    ASSERT_TRUE(processes.FindByName("outlook.exe", &found));
    EXPECT_EQ(found.th32ProcessID, 101u);
    const auto outlooks = processes.AllByName("outlook.exe");
    ASSERT_EQ(outlooks.size(), 2u);
    EXPECT_EQ(outlooks[1].th32ProcessID, 102u);
}
