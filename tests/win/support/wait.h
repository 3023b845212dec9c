// Waiting for a condition instead of sleeping: the condition is asked again every few
// milliseconds, so a wait ends as soon as it holds and lasts long only when something is wrong.
#pragma once

#include <windows.h>

#include <functional>

// True once condition holds; false when it still does not after milliseconds.
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds);

// WaitUntil for what must happen: when the limit passes, the running test fails with a
// message that names what was awaited.
bool WaitFor(const char* what, const std::function<bool()>& condition, DWORD milliseconds);
