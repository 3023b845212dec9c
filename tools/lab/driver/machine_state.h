// What the lab watches on the machine while the setup runs: installed products, running
// processes, the files in the setup's temporary folder, the registry value the setup deletes
// and the log that the runtime stand-ins append to.
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

struct ProcessInfo {
    std::string name;
    DWORD parentId = 0;
};

struct FileInfo {
    unsigned long long size = 0;
    FILETIME written = {};
    std::string digest;  // only in full snapshots, when the setup does not run
};

struct MachineState {
    bool hasProducts = false;
    std::set<std::string> products;
    std::map<DWORD, ProcessInfo> processes;
    std::map<std::string, FileInfo> tempFiles;
    std::string initialized;  // "absent", "no key" or the value's text
    std::vector<std::string> logLines;
};

class MachineObserver {
public:
    MachineObserver(std::string tempFolder, std::string logPath);

    // A light snapshot opens no file of the temporary folder, so that it never gets in the way
    // of the setup deleting or rewriting one; products are optional because they are slow.
    MachineState Take(bool withProducts, bool withDigests) const;

    const std::string& TempFolder() const { return m_tempFolder; }

private:
    std::string m_tempFolder;
    std::string m_logPath;
};

// One line per change from before to after: "file+ NAME SIZE", "file- NAME", "file~ NAME SIZE",
// "process+ NAME PID", "process- NAME PID", "registry Initialized STATE", "product+ CODE",
// "product- CODE", "log LINE". Products are compared only when after has them.
std::vector<std::string> DescribeChanges(const MachineState& before, const MachineState& after);

// The descendants of a process in a process table, the process included.
std::set<DWORD> ProcessTree(const std::map<DWORD, ProcessInfo>& processes, DWORD root);

// The bytes of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
