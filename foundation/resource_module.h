// The module whose resources the setup reads: the executable itself unless a test says otherwise.
#pragma once

#include <windows.h>

HINSTANCE GetResourceModule();

// Another module's resources for the object's life; the previous module is back afterwards.
class ScopedResourceModule {
public:
    explicit ScopedResourceModule(HINSTANCE module);
    ~ScopedResourceModule();
    ScopedResourceModule(const ScopedResourceModule&) = delete;
    ScopedResourceModule& operator=(const ScopedResourceModule&) = delete;

private:
    HINSTANCE m_previous;
};
