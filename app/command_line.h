// The setup's switches for administrators who deploy it unattended. Platform-free: the text
// after the program's name, in UTF-16 as the process was given it, is split into arguments by the
// platform's own rule, and the arguments, once in the ANSI code page, are read into options.
#pragma once

#include "foundation/narrow_string.h"

#include <vector>

enum class SetupUi {
    Full,     // the person's run: boxes, questions, Windows Installer's own interface
    Passive,  // Windows Installer's progress bar only
    Quiet,    // no window of any kind
};

struct SetupOptions {
    SetupUi ui = SetupUi::Full;
    bool closeOutlook = false;  // in an unattended run, close a running Outlook without asking
    bool noRestart = false;     // REBOOT=ReallySuppress
    bool help = false;
    CStringA logPath;       // the setup's log; empty: the temporary folder's
    CStringA layoutFolder;  // write the payloads there and install nothing; empty: install
};

struct SetupCommandLine {
    SetupOptions options;
    // Why the command line cannot be used; empty when it can. The options then hold what was
    // read, so that a quiet run that is refused still shows no box.
    CStringA error;
};

// One argument in UTF-16, with its terminating zero.
using WideArgument = std::vector<wchar_t>;

// The arguments of a command line without its program's name, as CommandLineToArgvW splits them:
// a blank (space, tab) outside quotes ends an argument; a quote opens or closes quoting, and a
// quote right after the one that closed it is a literal quote; 2n backslashes before a quote are
// n and the quote counts, 2n+1 are n and a literal quote; other backslashes are themselves.
std::vector<WideArgument> SplitArguments(const wchar_t* text);

SetupCommandLine ParseSetupArguments(const std::vector<CStringA>& arguments);

// The usage text for the box of "/?" and of a command line that cannot be used.
extern const char kSetupUsage[];
