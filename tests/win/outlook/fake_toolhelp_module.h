// The fake process-list module as a test holds it: loaded from beside the test program for the
// test's duration (so the snapshot's own load finds the same instance), told how to fail.
#pragma once

#include "foundation/unique_handle.h"
#include "outlook/toolhelp32_wrapper.h"
#include "tests/win/outlook/fake_toolhelp.h"

#include <windows.h>

#include <string>

class FakeToolhelpModule {
public:
    FakeToolhelpModule() : m_path(PathBesideThisProgram()), m_module(LoadLibraryA(m_path.c_str()))
    {
        if (m_module)
            m_setMode = reinterpret_cast<SetFakeToolhelpModeFunction>(
                reinterpret_cast<void*>(GetProcAddress(m_module.Get(), "SetFakeToolhelpMode")));
    }

    bool IsLoaded() const { return m_setMode != nullptr; }
    const char* Path() const { return m_path.c_str(); }
    void SetMode(FakeToolhelpMode mode) const { m_setMode(mode); }

    // The process-list loader that gives this module instead of Kernel32.dll.
    static HMODULE Load() { return LoadLibraryA(PathBesideThisProgram().c_str()); }

private:
    static std::string PathBesideThisProgram()
    {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        const std::string program(path);
        return program.substr(0, program.find_last_of('\\') + 1) + FAKE_TOOLHELP_DLL;
    }

    std::string m_path;
    UniqueModule m_module;
    SetFakeToolhelpModeFunction m_setMode = nullptr;
};

// Loaders of modules that are not the process-list module: one that does not exist, and one
// that loads but exports none of the three functions.
inline HMODULE LoadMissingModule() { return LoadLibraryA("no_such_toolhelp_module.dll"); }
inline HMODULE LoadModuleWithoutToolhelp() { return LoadLibraryA("user32.dll"); }
