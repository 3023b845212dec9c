// The executable's entry point and the framework's WinMain. The entry point narrows the DLL
// search to the system folder before anything else of the process runs (the C runtime's start-up
// and every static constructor come after it), then hands over to the C runtime, which ends in
// WinMain and exits with its result.
#include "framework/app_base.h"
#include "framework/system_library.h"

extern "C" int WinMainCRTStartup();

// Windows enters 32-bit code with the stack aligned to 4 bytes only.
extern "C" __attribute__((force_align_arg_pointer)) int VsProcessStart()
{
    RestrictDllSearchToSystemFolder();
    return WinMainCRTStartup();
}

namespace {

// The platform's rule for the program's name: up to the closing quote, or up to the first
// blank; no backslash escapes there.
LPCWSTR AfterProgramName(LPCWSTR line)
{
    if (*line == L'"') {
        ++line;
        while (*line != L'\0' && *line != L'"')
            ++line;
        if (*line == L'"')
            ++line;
    } else {
        while (*line != L'\0' && *line != L' ' && *line != L'\t')
            ++line;
    }
    return line;
}

} // namespace

// lpCmdLine is the narrow command line, in which the platform has put best-fit neighbours for
// characters the ANSI code page lacks; the application gets the wide one.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinAppEx* app = AfxGetApp();
    if (app == nullptr)
        return ERROR_INVALID_FUNCTION;
    app->m_lpCmdLine = AfterProgramName(GetCommandLineW());
    app->InitInstance();
    return app->ExitInstance();
}
