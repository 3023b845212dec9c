#include "app/command_line.h"
#include "foundation/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What a command line gives, in a few words: the options set, or "error: <reason>".
std::string Outcome(const char* text)
{
    const SetupCommandLine read = ParseSetupArguments(SplitArguments(text));
    const SetupOptions& o = read.options;
    std::string outcome = o.ui == SetupUi::Quiet ? "quiet" : o.ui == SetupUi::Passive ? "passive" : "full";
    if (o.closeOutlook)
        outcome += " closeoutlook";
    if (o.noRestart)
        outcome += " norestart";
    if (o.help)
        outcome += " help";
    if (!o.logPath.IsEmpty())
        outcome += std::string(" log[") + o.logPath.GetString() + "]";
    if (!o.layoutFolder.IsEmpty())
        outcome += std::string(" layout[") + o.layoutFolder.GetString() + "]";
    if (!read.error.IsEmpty())
        outcome += std::string(" error: ") + read.error.GetString();
    return outcome;
}

struct Case {
    const char* commandLine;
    const char* outcome;
};

const Case kCases[] = {
    {"", "full"},
    {"   \t ", "full"},
    {"/quiet", "quiet"},
    {"-Q", "quiet"},
    {"/QUIET /q", "quiet"},
    {"-passive /CloseOutlook /NoRestart", "passive closeoutlook norestart"},
    {"/?", "full help"},
    {"/q -HELP", "quiet help"},
    {"/log C:\\logs\\setup.log /layout D:\\share", "full log[C:\\logs\\setup.log] layout[D:\\share]"},
    {"/log \"C:\\Deploy logs\\setup one.log\" /q", "quiet log[C:\\Deploy logs\\setup one.log]"},
    {"/layout \"\\\\server\\share\\enclosa\\\\\"", "full layout[\\\\server\\share\\enclosa\\]"},
    {"/log C:\\a\\\\\"b c\"", "full log[C:\\a\\b c]"},
    {"/log \"say \"\"hi\"\".log\"", "full log[say \"hi\".log]"},
    {"/log a\\\"b", "full log[a\"b]"},
    // The errors: the first reason counts, and a quiet run stays quiet when it is refused.
    {"/silent", "full error: Unknown switch: /silent."},
    {"/quiet --quiet", "quiet error: Unknown switch: --quiet."},
    {"setup.log", "full error: Unknown argument: \"setup.log\"."},
    {"/", "full error: Unknown switch: /."},
    {"/q /log", "quiet error: /log needs a file after it."},
    {"/log /q", "quiet error: /log needs a file after it."},
    {"/log \"\" /q", "quiet error: /log needs a file after it."},
    {"/layout", "full error: /layout needs a folder after it."},
    {"/log a /log b", "full log[b] error: /log is given twice."},
    {"/quiet /passive", "quiet error: Two modes at once: /quiet and /passive; give one of them."},
    {"/passive /bogus /quiet", "passive error: Unknown switch: /bogus."},
};

TEST(SetupCommandLine, EachCommandLineGivesItsOptionsOrItsReason)
{
    for (const Case& c : kCases)
        EXPECT_EQ(Outcome(c.commandLine), c.outcome) << "command line: " << c.commandLine;
}

TEST(SetupCommandLine, ATrailByte5CBeforeAQuoteIsNoBackslash)
{
    const CodePage::ScopedHostCodePage japanese(932);
    // "C:\表" in code page 932 ends in the byte 0x5C; the quote after it still closes the path.
    EXPECT_EQ(Outcome("/log \"C:\\\x95\x5C\" /q"), "quiet log[C:\\\x95\x5C]");
    EXPECT_EQ(Outcome("/layout C:\\\x95\x5C\\\x95\x5C"), "full layout[C:\\\x95\x5C\\\x95\x5C]");
}

} // namespace
