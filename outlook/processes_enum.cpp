#include "outlook/processes_enum.h"

#include "foundation/error.h"
#include "foundation/fs_path.h"
#include "foundation/unique_handle.h"
#include "foundation/wide_text.h"
#include "outlook/toolhelp32_wrapper.h"

#include <cstring>

#ifndef _WIN64
static_assert(sizeof(PROCESSENTRY32) == 296, "the narrow process record of a 32-bit process");
#endif

namespace {

// Equal ignoring case as the file system sees it: both names read in the active code page
// (so a trail byte is never taken for a letter), then compared by upper-case code points.
bool SameFileName(const char* a, const char* b)
{
    const WideText wideA = ToUtf16(a, CP_ACP);
    const WideText wideB = ToUtf16(b, CP_ACP);
    return CompareStringOrdinal(wideA.data(), -1, wideB.data(), -1, TRUE) == CSTR_EQUAL;
}

bool HasFileName(const PROCESSENTRY32& entry, const CStringA& name)
{
    const CStringA exeFile(entry.szExeFile, static_cast<int>(strnlen(entry.szExeFile, MAX_PATH)));
    return SameFileName(VsFsPath(exeFile).GetFileName(), name);
}

} // namespace

void CProcessesEnum::Refresh()
{
    clear();
    const CToolHelp32Wrapper toolHelp;
    PROCESSENTRY32 entry = {};
    // Null too when the module or the function cannot be had.
    const UniqueKernelHandle snapshot(toolHelp.CreateSnapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        throw Error::VsExceptionCommon(GetLastError(), "CreateToolhelp32Snapshot (of processes)", nullptr, 0);

    entry.dwSize = sizeof entry;
    if (!toolHelp.FirstProcess(snapshot.Get(), &entry))
        throw Error::VsExceptionCommon(GetLastError(), "Process32First failed.", nullptr, 0);
    // The end of the list and a failing Process32Next look the same: the list ends there.
    do {
        push_back(entry);
    } while (toolHelp.NextProcess(snapshot.Get(), &entry));
}

bool CProcessesEnum::FindByName(const CStringA& name, PROCESSENTRY32* entry) const
{
    for (const PROCESSENTRY32& candidate : *this) {
        if (HasFileName(candidate, name)) {
            if (entry != nullptr)
                *entry = candidate;
            return true;
        }
    }
    return false;
}

std::vector<PROCESSENTRY32> CProcessesEnum::AllByName(const CStringA& name) const
{
    std::vector<PROCESSENTRY32> found;
    for (const PROCESSENTRY32& candidate : *this) {
        if (HasFileName(candidate, name))
            found.push_back(candidate);
    }
    return found;
}
