#include "app/setup_command_line.h"

#include "foundation/wide_text.h"

#include <windows.h>

namespace {

// The text with best-fit neighbours for what the code page lacks: only for the log and to tell
// the mode of a command line that is refused (a quiet one shows no box even then).
CStringA WithBestFit(const WCHAR* text)
{
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    CStringA narrow;
    if (bytes > 1) {
        WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.GetBuffer(bytes), bytes, nullptr, nullptr);
        narrow.ReleaseBuffer();
    }
    return narrow;
}

// Empty when the platform cannot make the path full within MAX_PATH.
CStringA FullPath(const CStringA& path)
{
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? CStringA(full) : CStringA();
}

void MakeFull(CStringA& path, SetupCommandLine& read)
{
    if (path.IsEmpty() || !read.error.IsEmpty())
        return;
    const CStringA full = FullPath(path);
    if (full.IsEmpty())
        read.error.Format("The path \"%s\" is too long or no path.", path.GetString());
    path = full;
}

// Each argument in the ANSI code page: exactly, or, when one cannot be, with best-fit neighbours
// only to tell the mode of a command line that is refused. False when one cannot be exactly.
bool ToAnsiArguments(const WCHAR* text, std::vector<CStringA>& arguments)
{
    bool exact = true;
    for (const WideArgument& wide : SplitArguments(text)) {
        CStringA argument = ToAnsiExactly(wide.data());
        if (argument.IsEmpty() && wide[0] != L'\0') {
            exact = false;
            argument = WithBestFit(wide.data());
        }
        arguments.push_back(argument);
    }
    return exact;
}

} // namespace

GivenCommandLine ReadGivenCommandLine(const WCHAR* arguments)
{
    GivenCommandLine given;
    while (*arguments == L' ' || *arguments == L'\t')
        ++arguments;
    if (*arguments == L'\0')
        return given;
    given.text = ToAnsiExactly(arguments);
    if (given.text.IsEmpty())
        given.text = WithBestFit(arguments);
    std::vector<CStringA> narrow;
    const bool exact = ToAnsiArguments(arguments, narrow);
    given.read = ParseSetupArguments(narrow);
    if (!exact) {
        given.read.error.Format("The command line holds characters that this system's code page (%u) cannot "
                                "carry; give paths whose names it can.",
                                GetACP());
        return given;
    }
    MakeFull(given.read.options.logPath, given.read);
    MakeFull(given.read.options.layoutFolder, given.read);
    return given;
}
