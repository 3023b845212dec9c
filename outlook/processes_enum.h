// A snapshot of the running processes, filled in one pass and then searched by executable name.
#pragma once

#include "foundation/narrow_string.h"

#include <windows.h>
#include <tlhelp32.h>

#include <vector>

class CProcessesEnum : public std::vector<PROCESSENTRY32> {
public:
    CProcessesEnum() = default;
    virtual ~CProcessesEnum() = default;

    // Replaces the list with a new snapshot. Throws Error::VsExceptionCommon, and leaves the list
    // empty, when the platform refuses one or the process-list functions cannot be had: a list
    // that cannot be read tells nothing about what runs.
    void Refresh();

    // True when an entry's executable file name equals name, ignoring case; the first such
    // entry is copied to entry when it is not null.
    bool FindByName(const CStringA& name, PROCESSENTRY32* entry) const;
    // Every entry whose executable file name equals name, ignoring case, in the list's order.
    std::vector<PROCESSENTRY32> AllByName(const CStringA& name) const;
};
