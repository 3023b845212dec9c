// The application object's base. A program defines exactly one application object, statically;
// the framework's WinMain finds it, calls InitInstance, then ExitInstance, and ends the process
// with what ExitInstance gives. There is no message loop of the framework's own: whatever
// InitInstance gives, ExitInstance follows.
#pragma once

#include <windows.h>

class CWinAppEx {
public:
    // resourceSmartUpdate: kept for derived code that asks; this framework has no toolbars or
    // menus whose resources it would update.
    explicit CWinAppEx(BOOL resourceSmartUpdate = FALSE);
    virtual ~CWinAppEx();
    CWinAppEx(const CWinAppEx&) = delete;
    CWinAppEx& operator=(const CWinAppEx&) = delete;

    virtual BOOL InitInstance();
    // Gives the exit code the derived application set (0 unless it set one).
    virtual int ExitInstance();

    BOOL m_bResourceSmartUpdate;
    // The arguments after the program's name, in UTF-16 as the process was given them; set by
    // the framework's WinMain, empty for an application object run any other way.
    LPCWSTR m_lpCmdLine = L"";

protected:
    void SetExitCode(int exitCode) { m_exitCode = exitCode; }

private:
    int m_exitCode = 0;
};

// The one application object, or null before it is constructed and after it is destroyed.
CWinAppEx* AfxGetApp();
