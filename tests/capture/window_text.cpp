#include "tests/capture/window_text.h"

std::string WindowText(HWND window)
{
    char buffer[8192] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

std::string ClassName(HWND window)
{
    char buffer[256] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

namespace {

struct Search {
    const std::set<DWORD>* processIds;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->processIds->count(owner) != 0)
        search->found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> TopLevelWindowsOf(const std::set<DWORD>& processIds)
{
    Search search{&processIds, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
