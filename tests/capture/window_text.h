// What a window says of itself: its text and its class, as narrow strings; and which
// top-level windows a set of processes has.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

std::string WindowText(HWND window);
std::string ClassName(HWND window);
// The top-level windows that belong to any of the processes, in the platform's order.
std::vector<HWND> TopLevelWindowsOf(const std::set<DWORD>& processIds);
