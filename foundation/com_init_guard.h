// COM and OLE for the calling thread for a guard's lifetime, undone only when the guard did it.
#pragma once

#include <objbase.h>
#include <ole2.h>

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

// OLE, started on demand: in-place activation needs it on this thread, and a thread that has it
// already keeps it.
class OleInitGuard {
public:
    OleInitGuard() = default;
    ~OleInitGuard()
    {
        if (m_started)
            OleUninitialize();
    }
    OleInitGuard(const OleInitGuard&) = delete;
    OleInitGuard& operator=(const OleInitGuard&) = delete;

    void Start()
    {
        if (!m_started)
            m_started = SUCCEEDED(OleInitialize(nullptr));
    }

private:
    bool m_started = false;
};
