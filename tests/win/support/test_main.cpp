// GoogleTest entry of every Windows-side test, with a watchdog that turns a hang into a
// failure with a message before CTest's own time limit strikes, and a line for every skipped
// case.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

DWORD WINAPI Watchdog(void* parameter)
{
    const DWORD seconds = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(parameter));
    Sleep(seconds * 1000);
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    std::fprintf(stderr, "\nWATCHDOG: still running after %lu s%s%s.%s\n", static_cast<unsigned long>(seconds),
                 test != nullptr ? ", in " : "", test != nullptr ? test->test_suite_name() : "",
                 test != nullptr ? test->name() : "");
    std::fflush(stderr);
    ExitProcess(3);
}

// A skipped case passes; its reason goes out as one line starting "SKIPPED ", which
// scripts/test.sh gathers, so that a green run says what it did not check.
class SkipReport : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& test) override
    {
        const testing::TestResult& result = *test.result();
        if (!result.Skipped())
            return;
        std::string reason;
        for (int part = 0; part < result.total_part_count(); ++part) {
            if (result.GetTestPartResult(part).skipped())
                reason = result.GetTestPartResult(part).message();
        }
        std::printf("SKIPPED %s.%s: %s\n", test.test_suite_name(), test.name(), reason.c_str());
    }
};

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new SkipReport);
    DWORD seconds = 170;
    if (const char* limit = std::getenv("VS_TEST_WATCHDOG_SECONDS"))
        seconds = static_cast<DWORD>(std::strtoul(limit, nullptr, 10)) - 10;
    CloseHandle(CreateThread(nullptr, 0, Watchdog, reinterpret_cast<void*>(static_cast<UINT_PTR>(seconds)), 0, nullptr));
    return RUN_ALL_TESTS();
}
