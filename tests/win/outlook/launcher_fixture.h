// What every launcher test starts from, and the checks they share on a stand-in's end.
#pragma once

#include "foundation/setup_log.h"
#include "outlook/processes_enum.h"
#include "tests/win/outlook/standin_process.h"
#include "tests/win/support/temp_dir.h"
#include "tests/standins/outlook/standin_protocol.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// The setup's log, written into a folder of the test's own while this lives.
class SetupLogHere {
public:
    SetupLogHere() { SetupLog::Open("test", (m_folder / "setup.log").c_str()); }
    ~SetupLogHere() { SetupLog::Close(); }
    SetupLogHere(const SetupLogHere&) = delete;
    SetupLogHere& operator=(const SetupLogHere&) = delete;

    std::string Text() const { return ReadFileBytes(m_folder / "setup.log"); }
    bool Contains(const std::string& line) const { return Text().find(line) != std::string::npos; }

private:
    const TempDir m_folder;
};

// Each test starts from a prefix without any outlook.exe; the stand-ins it starts are ended
// with the fixture whatever the test did.
class Launcher : public testing::Test {
protected:
    void SetUp() override
    {
        CProcessesEnum processes;
        processes.Refresh();
        ASSERT_FALSE(processes.FindByName("outlook.exe", nullptr)) << "an outlook.exe is already running";
        m_outlookExe = CopyStandIn(m_folder.Path(), "outlook.exe");
        ASSERT_FALSE(m_outlookExe.empty());
    }

    StandIn& Start(const std::string& exe, const std::string& arguments = "")
    {
        const std::string marker = m_folder / ("standin" + std::to_string(m_standIns.size()) + ".marker");
        m_standIns.push_back(std::make_unique<StandIn>(exe, marker, arguments));
        EXPECT_TRUE(m_standIns.back()->IsStarted()) << exe << " " << arguments;
        return *m_standIns.back();
    }

    static void ExpectClosedOrderly(const StandIn& standIn)
    {
        EXPECT_TRUE(standIn.WaitForExit(2000));
        EXPECT_TRUE(standIn.EndedOrderly());
        EXPECT_EQ(standIn.ExitCode(), kStandInOrderlyExit) << "terminated instead of closed";
    }

    static void ExpectTerminated(const StandIn& standIn)
    {
        EXPECT_TRUE(standIn.WaitForExit(2000));
        EXPECT_FALSE(standIn.EndedOrderly());
        EXPECT_EQ(standIn.ExitCode(), 0u);
    }

    static void ExpectUntouched(const StandIn& standIn)
    {
        EXPECT_TRUE(standIn.IsRunning());
        EXPECT_EQ(standIn.CloseRequests(), 0);
    }

    TempDir m_folder;
    std::string m_outlookExe;
    std::vector<std::unique_ptr<StandIn>> m_standIns;
};

