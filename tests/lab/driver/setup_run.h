// One run of the setup as a person sees it: start it with the scenario's temporary folder,
// watch the machine and every window of the setup's processes, answer each window, take its
// picture, and note when anything changed.
#pragma once

#include "tests/lab/driver/machine_state.h"
#include "tests/lab/driver/window_watch.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

struct RunPlan {
    int number = 1;
    std::string setupPath;
    std::string arguments;   // after the setup's name on its command line
    std::string setupLogPath;  // where the setup writes its log: the temporary folder's unless /log says
    std::string tempFolder;  // with a trailing backslash
    std::wstring tempVariable;  // what TEMP and TMP say to the setup
    std::string outFolder;   // with a trailing backslash; screenshots go here
    std::string logPath;     // the runtime stand-ins' log
    std::vector<std::string> answers;  // one per window, in the order they appear
    // When set: before the first window is answered that shows while the setup has a folder in
    // its work folder (the welcome folder), another program plants a directory link to this
    // folder inside it.
    std::string linkTarget;
    DWORD timeoutMs = 120000;
};

struct WindowRecord {
    SeenWindow seen;
    std::string processName;
    std::string icon;
    std::string answer;
    bool planned = false;     // the answer came from the scenario
    bool answered = false;    // the window was still there to be answered
    std::string screenshot;   // empty when no picture could be saved
    DWORD atMs = 0;
};

// Something that happened in a run, in milliseconds after its start: at the moment the machine
// says, or, for what only a look shows, after the last look that did not see it (since) and no
// later than the look that did (at).
struct RunEvent {
    RunEvent(DWORD atMs, std::string what, DWORD sinceMs) : at(atMs), text(std::move(what)), since(sinceMs) {}
    RunEvent(DWORD atMs, std::string what) : RunEvent(atMs, std::move(what), atMs) {}

    DWORD at;
    std::string text;
    DWORD since;
};

struct RunRecord {
    DWORD startError = 0;     // 0 when the setup started
    std::optional<DWORD> exitCode;  // none when it did not start, or the lab had to end it
    bool timedOut = false;
    std::vector<WindowRecord> windows;
    std::vector<RunEvent> events;
    MachineState before;
    MachineState after;
    std::vector<std::string> left;  // processes started during the run and still there
    bool linkPlanted = false;
    std::vector<std::string> setupLog;  // the lines this run appended to VsEnclosaSetupBoot.log
    std::vector<std::string> installerLogs;  // Windows Installer's logs this run wrote: "NAME SIZE"
};

RunRecord RunSetup(const RunPlan& plan);
