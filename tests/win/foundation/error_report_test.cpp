#include "foundation/error.h"
#include "tests/win/support/modal_watcher.h"

#include <gtest/gtest.h>

TEST(ErrorGetText, UsesTheRealSystemMessageTable)
{
    const CStringA system = Error::SystemErrorText(ERROR_NO_MORE_FILES);
    ASSERT_FALSE(system.IsEmpty());
    CStringA trimmed(system);
    trimmed.Trim();
    EXPECT_EQ(Error::VsExceptionCommon(0x12, "Process32First failed.", nullptr, 0).GetText(),
              trimmed + " (0x12)\n\nProcess32First failed.");
    // No message for this code in the table.
    EXPECT_EQ(Error::VsExceptionCommon(0x2FFFFF12, "Process32First failed.", nullptr, 0).GetText(),
              "(0x2fffff12) Process32First failed.");
    EXPECT_EQ(Error::VsExceptionCommon(0, "CreateToolhelp32Snapshot (of processes)", nullptr, 0).GetText(),
              "(0) CreateToolhelp32Snapshot (of processes)");
}

TEST(ErrorReport, ShowsTheTrimmedTextInAnErrorBoxWithOneButton)
{
    ModalWatcher watcher(IDOK);
    const int result = Error::VsExceptionText("  Failed to create directory 'C:\\x'\n", nullptr, 0).Report();
    EXPECT_EQ(result, IDOK);
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].text, "Failed to create directory 'C:\\x'");
    EXPECT_EQ(boxes[0].buttonIds, std::vector<int>{IDOK});
    EXPECT_EQ(boxes[0].icon, StockIcon(IDI_ERROR));
}

namespace {
struct BoxCall {
    HWND owner;
    std::string text, caption;
    UINT type;
};
BoxCall g_lastCall;
int WINAPI RecordBox(HWND owner, const char* text, const char* caption, UINT type)
{
    g_lastCall = {owner, text, caption, type};
    return IDOK;
}
} // namespace

TEST(ErrorReport, AsksForForegroundAndTopmost)
{
    // Wine shows the box but ignores MB_TOPMOST, so the style is checked at the call.
    const Error::ScopedErrorBoxFunctions recorded({RecordBox});
    const int result = Error::VsExceptionText("text", nullptr, 0).Report();
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(g_lastCall.owner, nullptr);
    EXPECT_EQ(g_lastCall.type & (MB_TOPMOST | MB_SETFOREGROUND), UINT(MB_TOPMOST | MB_SETFOREGROUND));
}

TEST(ErrorReport, BlankTextShowsTheUnknownErrorText)
{
    ModalWatcher watcher(IDOK);
    Error::VsExceptionText(" \r\n", nullptr, 0).Report();
    const auto boxes = watcher.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Unknown error occured\nFile: , Line: 0");
}
