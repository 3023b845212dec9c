// The setup's switches for administrators who deploy it unattended. Platform-free: the text
// after the program's name, already in the ANSI code page, is split into arguments as the C
// runtime splits a command line (blanks outside quotes end an argument; backslashes escape a
// quote) and read into options. A double-byte character is never taken apart, so a trail byte
// 0x5C before a closing quote is no backslash.
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

    bool Unattended() const { return ui != SetupUi::Full; }
};

struct SetupCommandLine {
    SetupOptions options;
    // Why the command line cannot be used; empty when it can. The options then hold what was
    // read, so that a quiet run that is refused still shows no box.
    CStringA error;
};

// The arguments of a command line without its program's name.
std::vector<CStringA> SplitArguments(const char* text);

SetupCommandLine ParseSetupArguments(const std::vector<CStringA>& arguments);

// The usage text for the box of "/?" and of a command line that cannot be used.
extern const char kSetupUsage[];
