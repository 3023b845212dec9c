// What the lab watches on the machine while the setup runs: installed products, running
// processes, the files in the setup's temporary folder and in its work folders (Windows' Temp
// folder, VsEnclosaSetupBoot-*), the registry value the setup deletes and the log that the
// runtime stand-ins append to. The setup's own logs (VsEnclosaSetupBoot*.log) are kept apart
// from its files.
#pragma once

#include "foundation/unique_handle.h"

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

// A moment on the platform's clock (FILETIME, 100 ns units); 0 when the machine cannot say.
using Moment = unsigned long long;
Moment Now();

struct ProcessInfo {
    std::string name;
    DWORD parentId = 0;
    Moment started = 0;
};

struct FileInfo {
    unsigned long long size = 0;
    Moment created = 0;
    Moment written = 0;
    std::string digest;  // only in full snapshots, when the setup does not run
};

struct MachineState {
    bool hasProducts = false;
    std::set<std::string> products;
    Moment productsFrom = 0, productsUntil = 0;  // when they were read
    std::map<DWORD, ProcessInfo> processes;
    std::map<std::string, FileInfo> tempFiles;
    std::map<std::string, FileInfo> setupLogs;  // the setup's log and Windows Installer's logs
    std::map<std::string, Moment> tempFolders;  // sub-folders of the temporary folder, when made
    std::map<std::string, Moment> workFolders;  // the setup's work folders, when made
    // In the work folders, keyed "FOLDER\\NAME": their files and their sub-folders.
    std::map<std::string, FileInfo> workFiles;
    std::map<std::string, Moment> workSubfolders;
    std::string initialized;  // "absent", "no key" or the value's text
    Moment settingsWritten = 0;  // when the key last changed
    std::vector<std::string> logLines;
    Moment logWritten = 0;
    Moment takenAt = 0;
};

// One change, at the moment the machine says it happened (a process's start or end, a file's
// creation, the key's last write); else some time after the look that did not see it yet
// (since) and no later than the one that did (at).
struct Change {
    std::string text;
    Moment at = 0;
    Moment since = 0;
};

class MachineObserver {
public:
    MachineObserver(std::string tempFolder, std::string logPath);

    // A light snapshot opens no file of the temporary folder, so that it never gets in the way
    // of the setup deleting or rewriting one; products are optional because they are slow.
    MachineState Take(bool withProducts, bool withDigests);

    // From before to after: "file+ NAME SIZE", "file- NAME", "file~ NAME SIZE", "folder+ NAME",
    // "folder- NAME" (in a work folder: "file+ work\\NAME SIZE", "folder+ work\\NAME", ...),
    // "work+ FOLDER", "work- FOLDER", "process+ NAME
    // PID", "process- NAME PID", "registry Initialized STATE", "product+ CODE", "product- CODE",
    // "log LINE". Products are compared only when both snapshots have them.
    std::vector<Change> Changes(const MachineState& before, const MachineState& after);

private:
    void FollowProcesses(std::map<DWORD, ProcessInfo>& processes);
    Moment EndOf(DWORD processId);

    std::string m_tempFolder;
    std::string m_windowsTemp;
    std::string m_logPath;
    // Every process seen is held open: its end can be asked after it ended, and its
    // identifier cannot go to another process meanwhile.
    std::map<DWORD, UniqueProcessHandle> m_held;
    std::map<DWORD, Moment> m_started;
};

// The descendants of a process in a process table, the process included.
std::set<DWORD> ProcessTree(const std::map<DWORD, ProcessInfo>& processes, DWORD root);

// Windows' own Temp folder, where the setup makes its work folders, with a trailing backslash.
std::string WindowsTempFolder();

// The bytes of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
// The complete lines of a text, without their line ends.
std::vector<std::string> LinesOf(const std::string& text);
