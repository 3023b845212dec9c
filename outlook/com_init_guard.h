// COM for the calling thread for the guard's lifetime, undone only when the guard did it.
#pragma once

#include <objbase.h>

class ComInitGuard {
public:
    ComInitGuard() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComInitGuard()
    {
        // S_FALSE (already initialised in this apartment kind) also counts and must be undone.
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComInitGuard(const ComInitGuard&) = delete;
    ComInitGuard& operator=(const ComInitGuard&) = delete;

    // A thread already in the multithreaded apartment can use COM as it is.
    bool IsUsable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_result;
};
