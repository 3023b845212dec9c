#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// An argument in ASCII, each other character as <hex>.
std::string Shown(const WideArgument& argument)
{
    std::string shown;
    char code[16] = {};
    for (std::size_t i = 0; argument[i] != L'\0'; ++i) {
        std::snprintf(code, sizeof code, "<%x>", static_cast<unsigned>(argument[i]));
        shown += argument[i] < 0x80 ? std::string(1, static_cast<char>(argument[i])) : code;
    }
    return shown;
}

// What a command line gives, in a few words: the options set, or "error: <reason>".
std::string Outcome(const wchar_t* text)
{
    std::vector<CStringA> arguments;
    for (const WideArgument& argument : SplitArguments(text))
        arguments.push_back(Shown(argument).c_str());
    const SetupCommandLine read = ParseSetupArguments(arguments);
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
    const wchar_t* commandLine;
    const char* outcome;
};

const Case kCases[] = {
    {L"", "full"},
    {L"   \t ", "full"},
    {L"/quiet", "quiet"},
    {L"-Q", "quiet"},
    {L"/QUIET /q", "quiet"},
    {L"-passive /CloseOutlook /NoRestart", "passive closeoutlook norestart"},
    {L"/?", "full help"},
    {L"/q -HELP", "quiet help"},
    {L"/log C:\\logs\\setup.log /layout D:\\share", "full log[C:\\logs\\setup.log] layout[D:\\share]"},
    {L"/log \"C:\\Deploy logs\\setup one.log\" /q", "quiet log[C:\\Deploy logs\\setup one.log]"},
    {L"/layout \"\\\\server\\share\\enclosa\\\\\"", "full layout[\\\\server\\share\\enclosa\\]"},
    {L"/log C:\\a\\\\\"b c\"", "full log[C:\\a\\b c]"},
    // The platform's rule: the quote after the closing one is a literal quote, and quoting stays closed.
    {L"/log \"say \"\"hi\"\".log\"", "full log[say \"hi.log]"},
    {L"/log a\\\"b", "full log[a\"b]"},
    // The errors: the first reason counts, and a quiet run stays quiet when it is refused.
    {L"/silent", "full error: Unknown switch: /silent."},
    {L"/quiet --quiet", "quiet error: Unknown switch: --quiet."},
    {L"setup.log", "full error: Unknown argument: \"setup.log\"."},
    {L"/", "full error: Unknown switch: /."},
    {L"/q /log", "quiet error: /log needs a file after it."},
    {L"/log /q", "quiet error: /log needs a file after it."},
    {L"/log \"\" /q", "quiet error: /log needs a file after it."},
    {L"/layout", "full error: /layout needs a folder after it."},
    {L"/log a /log b", "full log[b] error: /log is given twice."},
    {L"/quiet /passive", "quiet error: Two modes at once: /quiet and /passive; give one of them."},
    {L"/passive /bogus /quiet", "passive error: Unknown switch: /bogus."},
};

TEST(SetupCommandLine, EachCommandLineGivesItsOptionsOrItsReason)
{
    for (const Case& c : kCases)
        EXPECT_EQ(Outcome(c.commandLine), c.outcome) << "command line: " << c.commandLine;
}

TEST(SetupCommandLine, ACharacterIsNeverTakenApart)
{
    // "C:\表" in code page 932 ends in the byte 0x5C; split in UTF-16 the quote after it still
    // closes the path.
    EXPECT_EQ(Outcome(L"/log \"C:\\\x8868\" /q"), "quiet log[C:\\<8868>]");
    EXPECT_EQ(Outcome(L"/layout C:\\\x8868\\\x8868"), "full layout[C:\\<8868>\\<8868>]");
}

} // namespace
