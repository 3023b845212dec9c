#include "tests/win/support/wait.h"

#include <gtest/gtest.h>

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (!condition()) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(10);
    }
    return true;
}

bool WaitFor(const char* what, const std::function<bool()>& condition, DWORD milliseconds)
{
    if (WaitUntil(condition, milliseconds))
        return true;
    ADD_FAILURE() << "waited " << milliseconds << " ms for " << what << " in vain";
    return false;
}
