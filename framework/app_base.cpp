#include "framework/app_base.h"

namespace {
CWinAppEx* g_app = nullptr;
}

CWinAppEx::CWinAppEx(BOOL resourceSmartUpdate) : m_bResourceSmartUpdate(resourceSmartUpdate)
{
    g_app = this;
}

CWinAppEx::~CWinAppEx()
{
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinAppEx::InitInstance() { return TRUE; }

int CWinAppEx::ExitInstance() { return m_exitCode; }

CWinAppEx* AfxGetApp() { return g_app; }
